#include "engine/SysInfo.h"

#include <QProcess>
#include <QStringList>

#include "platform/Platform.h"

namespace sysinfo {

bool startTool() {
    const QString tool = platform::systemInformationTool();
    return !tool.isEmpty() && QProcess::startDetached(tool, QStringList());
}

}  // namespace sysinfo
