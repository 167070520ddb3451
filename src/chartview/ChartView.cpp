#include "chartview/ChartView.h"
