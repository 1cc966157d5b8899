// Pieces shared by the program's tests that drive pages with simulated scanners: the registry file that
// pairs them and finding a control by its accessible name (which equals its caption).
#pragma once

#include <QFile>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <vector>

namespace talvo::test {

// Writes `path` as a registry file in which scanner "ZT-550 0000<port>" is paired on COM<port>, for
// each port (the classic stack's keys); false when the file cannot be written.
[[nodiscard]] inline bool writeScannerRegistry(const QString& path, const std::vector<int>& ports) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    file.write("Windows Registry Editor Version 5.00\n");
    for (int port : ports) {
        file.write(
            QStringLiteral("\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Bluetooth\\device\\025a5400000%1]\n"
                           "\"name\"=\"ZT-550 0000%1\"\n"
                           "\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports\\0001025a5400000%1]\n"
                           "\"Port\"=\"COM%1:\"\n")
                .arg(port)
                .toUtf8());
    }
    return file.flush();
}

// The first control of type T below `root` whose accessible name is `name`, or null.
template <typename T>
[[nodiscard]] T* findNamed(const QWidget* root, const QString& name) {
    for (T* widget : root->findChildren<T*>()) {
        if (widget->accessibleName() == name) return widget;
    }
    return nullptr;
}

}  // namespace talvo::test
