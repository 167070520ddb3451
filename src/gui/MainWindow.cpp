#include "gui/MainWindow.h"
