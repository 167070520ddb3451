#include "core/cyclic/CyclicOptions.h"

namespace rz {

bool toleranceIsValid(double tolerance)
{
    return tolerance >= 0.0 && tolerance < 0.5;
}

QString toleranceRangeMessage()
{
    return QStringLiteral("Tolerance for the cyclic envelope must be at least 0 and less than 0.5!");
}

}  // namespace rz
