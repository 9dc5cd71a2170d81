// The main window's side of the mouse and the keyboard in the lists and around them: clicks
// handed on to the row editors, rows moved by dragging their thumbnails, the Delete key, and
// a Tab order that reaches every control and nothing that shows nothing.

#include "mainwindow.h"

#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "playlist/customtablemodel.h"
#include "playlist/editorclickforwarder.h"
#include "playlist/rowdragmover.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTableView>
#include <QToolBar>
#include <QToolBox>
#include <QToolButton>

#include <algorithm>

namespace {

// The toolbar's buttons for its actions, left to right.
QList<QToolButton*> actionButtons(const QToolBar* toolBar)
{
    QList<QToolButton*> buttons;
    for (QAction* action : toolBar->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action)))
            buttons << button;
    }
    return buttons;
}

// The tool box's page titles, top to bottom.
QList<QAbstractButton*> pageTitles(const QToolBox* toolBox)
{
    QList<QAbstractButton*> titles = toolBox->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    std::sort(titles.begin(), titles.end(),
              [](const QAbstractButton* a, const QAbstractButton* b) { return a->y() < b->y(); });
    return titles;
}

} // namespace

void MainWindow::setupPlaylistInput(QTableView* table)
{
    new EditorClickForwarder(table);
    // Installed after the forwarder, so it sees a drag's release first and keeps it.
    auto* mover = new RowDragMover(table);
    connect(mover, &RowDragMover::rowMoved, this, [this, table](int from, int to) { moveRow(table, from, to); });

    // As the Del button; a row's time field keeps the key for its text.
    auto* remove = new QShortcut(QKeySequence::Delete, table, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    if (table == tableView)
        connect(remove, &QShortcut::activated, this, &MainWindow::onBtnDelImage);
    else
        connect(remove, &QShortcut::activated, this, &MainWindow::onBtnDelMedia);
}

void MainWindow::moveRow(QTableView* table, int from, int to)
{
    CustomTableModel* model = table == tableView ? m_pictureModel.get() : m_clipModel.get();
    if (from < 0 || from >= model->rowCount() || to < 0 || to >= model->rowCount())
        return;
    PlaylistObject* moved = model->items().at(from)->object;
    // Places are the rows' numbers, counted from 1 in both lists.
    if (table == tableView)
        onImageIndexChanged(static_cast<ImageObject*>(moved), moved->number, to + 1);
    else
        onMediaIndexChanged(static_cast<MediaObject*>(moved), moved->number, to + 1);
    // The moved row stays the chosen one, in its new place.
    const QModelIndex index = model->index(to, 0);
    makeCurrentRow(table, index);
    if (table == tableView)
        pressImageWidget(index);
    else
        pressMediaWidget(index);
}

void MainWindow::setupKeyboard()
{
    // The toolbar's buttons and the tool box's page titles take no focus by default, and the
    // tool box's scroll areas would be stops that show nothing.
    for (QToolButton* button : actionButtons(toolBar))
        button->setFocusPolicy(Qt::TabFocus);
    for (QScrollArea* area : toolBox->findChildren<QScrollArea*>(Qt::FindDirectChildrenOnly))
        area->setFocusPolicy(Qt::NoFocus);
    for (QAbstractButton* title : pageTitles(toolBox))
        title->setFocusPolicy(Qt::TabFocus);
    // Tab leaves a list; the arrow keys go from row to row.
    tableView->setTabKeyNavigation(false);
    tableViewMedia->setTabKeyNavigation(false);

    // Where the keyboard is must show: the style draws no focus on these.
    const QString focusFrame = QStringLiteral("%1:focus { border: 2px solid palette(highlight); }");
    for (QPushButton* button : {btnZhCn, btnZhHk, btnEnUs})
        button->setStyleSheet(focusFrame.arg(QLatin1String("QPushButton")));
    tableView->setStyleSheet(focusFrame.arg(QLatin1String("QTableView")));
    tableViewMedia->setStyleSheet(focusFrame.arg(QLatin1String("QTableView")));
    toolBox->setStyleSheet(QStringLiteral("QToolBox::tab:focus { color: palette(highlight); font-weight: bold; }"));
}

QList<QWidget*> MainWindow::keyboardStops() const
{
    QList<QWidget*> stops;
    for (QToolButton* button : actionButtons(toolBar))
        stops << button;
    stops << btnZhCn << btnZhHk << btnEnUs << btnPlay << btnStop;
    const QList<QAbstractButton*> titles = pageTitles(toolBox);
    const QList<QList<QWidget*>> pages = {{btnEditImage, btnDelImage, tableView}, {btnDelMedia, tableViewMedia}};
    for (int i = 0; i < pages.size(); ++i) {
        if (i < titles.size())
            stops << titles.at(i);
        stops << pages.at(i);
        // The row being edited: its controls right after its list.
        auto* table = qobject_cast<QTableView*>(pages.at(i).last());
        if (QWidget* editor = table->indexWidget(table->currentIndex())) {
            for (QWidget* control : editor->findChildren<QWidget*>()) {
                if (control->focusPolicy() & Qt::TabFocus)
                    stops << control;
            }
        }
    }
    return stops;
}

bool MainWindow::focusNextPrevChild(bool next)
{
    const QList<QWidget*> stops = keyboardStops();
    const int at = int(stops.indexOf(QApplication::focusWidget()));
    if (at < 0)
        return QMainWindow::focusNextPrevChild(next);
    // Hidden, disabled and empty places are no stops: an empty list has nothing to choose.
    auto isStop = [](QWidget* widget) {
        if (!widget->isVisible() || !widget->isEnabled() || !(widget->focusPolicy() & Qt::TabFocus))
            return false;
        auto* table = qobject_cast<QTableView*>(widget);
        return !table || table->model()->rowCount() > 0;
    };
    for (int step = 1; step < stops.size(); ++step) {
        QWidget* candidate = stops.at((at + (next ? step : -step) + stops.size()) % stops.size());
        if (isStop(candidate)) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}
