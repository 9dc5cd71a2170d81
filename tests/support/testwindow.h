#pragma once

#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "playlist/customtablemodel.h"

#include <QImage>
#include <QPalette>
#include <QSize>
#include <QWidget>

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

// The picture or the clip in a row of one of the window's lists.
inline ImageObject* pictureAt(CustomTableModel* model, int row)
{
    return static_cast<ImageObject*>(model->items().at(row)->object);
}

inline MediaObject* clipAt(CustomTableModel* model, int row)
{
    return static_cast<MediaObject*>(model->items().at(row)->object);
}

// The picture the window's preview shows.
inline QImage shownPreview(MainWindow& window)
{
    auto* preview = window.findChild<QWidget*>("previewWidget");
    return preview->palette().brush(QPalette::Active, QPalette::Window).textureImage();
}
