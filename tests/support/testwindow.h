#pragma once

#include "app/appsettings.h"
#include "app/mainwindow.h"

#include <QSize>

#include <memory>

// A fresh main window as the window tests drive it: in English, resized unless `size` is
// invalid, and shown. The caller waits until it is exposed (QTest::qWaitForWindowExposed).
inline std::unique_ptr<MainWindow> showEnglishWindow(const QSize& size = QSize(1000, 700))
{
    AppSettings::language = AppSettings::NoLanguage;
    auto window = std::make_unique<MainWindow>();
    window->onBtnEnUsClick();
    if (size.isValid())
        window->resize(size);
    window->show();
    return window;
}
