#pragma once

#include <QString>

// The tool's fixed identity texts and the names of its files in the application folder.
namespace constant {

inline const QString ProductName = QStringLiteral("Pavona");
inline const QString SoftVersion = QStringLiteral("1.8");
inline const QString BuildDate = QStringLiteral("2006-8-18 12:36");

inline const QString ConfigFileName = QStringLiteral("Config.ini");
inline const QString SettingFileName = QStringLiteral("Setting.ini");
inline const QString FontStyleFileName = QStringLiteral("FontStyle.ini");
inline const QString BlessingFileName = QStringLiteral("Blessing.dat");
inline const QString PreviewListFileName = QStringLiteral("Preview.ini");
inline const QString FlashWebFileName = QStringLiteral("FlashWeb.ini");
inline const QString HelpFileName = QStringLiteral("Pavona.chm");
inline const QString UpdateInstallerFileName = QStringLiteral("UpSetup.exe");
inline const QString InstallStubFileName = QStringLiteral("Install.dll");
inline const QString EngineFileName = QStringLiteral("Glimmora.dll");
inline const QString UninstallStubFileName = QStringLiteral("Uninstall.dll");
inline const QString PreviewModuleFileName = QStringLiteral("Preview.exe");

// The maker's web addresses.
inline const QString HomePageUrl = QStringLiteral("http://www.pavona-soft.com/");
inline const QString BlogUrl = QStringLiteral("http://blog.pavona-soft.com/");

// The main window's caption: the product name directly followed by the version.
inline QString MainCaption() { return ProductName + SoftVersion; }

}  // namespace constant
