#pragma once
// Selects the offscreen platform with a 1280 x 800 screen: the platform's default screen is
// narrower than the window accepts. Call before the QApplication is made; keep the returned
// directory alive as long as the application.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace test {

inline std::unique_ptr<QTemporaryDir> use_wide_offscreen_screen() {
  auto directory = std::make_unique<QTemporaryDir>();
  const QString config = directory->filePath("screens.json");
  QFile file(config);
  if (file.open(QIODevice::WriteOnly)) {
    file.write(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": 1280, "height": 800,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
  }
  qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.toUtf8());
  return directory;
}

}  // namespace test
