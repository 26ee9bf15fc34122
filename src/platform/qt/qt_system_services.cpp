#include "platform/qt/qt_system_services.h"

#include "base/failure.h"
#include "platform/qt/machine_id.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QTime>
#include <QUrl>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kavex {
namespace {

QString qtText(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

std::string QtSystemServices::machineId() {
#ifdef _WIN32
    DWORD serial = 0;
    if (!GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) serial = 0;
    return machineIdText(serial);
#else
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        QByteArray id = file.read(256);
        return machineIdText(
            foldMachineId(std::string_view(id.constData(), static_cast<std::size_t>(id.size()))));
    }
    return machineIdText(0);
#endif
}

void QtSystemServices::setTimeOfDay(const std::string& text) {
    QTime time = QTime::fromString(qtText(text).trimmed(), "H:m:s");
    if (!time.isValid()) throw Failure("Type mismatch");
#ifdef _WIN32
    SYSTEMTIME local;
    GetLocalTime(&local);
    local.wHour = static_cast<WORD>(time.hour());
    local.wMinute = static_cast<WORD>(time.minute());
    local.wSecond = static_cast<WORD>(time.second());
    local.wMilliseconds = 0;
    if (!SetLocalTime(&local)) throw Failure("Permission denied");
#else
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_hour = time.hour();
    local.tm_min = time.minute();
    local.tm_sec = time.second();
    local.tm_isdst = -1;
    timespec target{std::mktime(&local), 0};
    if (clock_settime(CLOCK_REALTIME, &target) != 0) throw Failure(std::strerror(errno));
#endif
}

void QtSystemServices::startProgram(const std::string& path) {
    if (!QProcess::startDetached(qtText(path), {})) throw Failure("File not found");
}

void QtSystemServices::openUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(qtText(url)));
}

void QtSystemServices::beep() {
    QApplication::beep();
}

void QtSystemServices::exitImmediately() {
    std::_Exit(0);
}

} // namespace kavex
