#include "ui/AppInfo.h"

namespace kzm {

QString ProductTitle() {
    return QStringLiteral("Pelto KZM");
}

} // namespace kzm
