#include "mainwindow.h"

#include "appsettings.h"
#include "convert/imageobject.h"
#include "convert/mediaobject.h"
#include "convert/polarconversion.h"
#include "convert/settingcolorform.h"
#include "diy/roundareawidget.h"
#include "import/loadimagesdialog.h"
#include "looper/handlerthread.h"
#include "looper/message.h"
#include "looper/messagecodes.h"
#include "playlist/customtablemodel.h"
#include "playlist/imageobjectwidget.h"
#include "playlist/listimageitemdelegate.h"
#include "playlist/listmediaitemdelegate.h"
#include "playlist/mediaobjectwidget.h"
#include "playmediahandler.h"
#include "progressdialog.h"
#include "translations.h"
#include "updateledcountdialog.h"
#include "updatelinenumberdialog.h"

#include <QApplication>
#include <QCursor>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolBox>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

const char* const versionText = "20170421_0.25";

// Copies of picture files in the temporary directory are numbered for the whole process.
int nextImageCopy = 1;

QIcon resourceIcon(const char* name)
{
    return QIcon(QStringLiteral(":/images/") + QLatin1String(name));
}

// The language buttons show their flags; without the pictures they must not stay blank.
QPushButton* languageButton(const char* icon, const char* fallback, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setCheckable(true);
    button->setChecked(true);
    button->setFixedSize(60, 25);
    button->setIconSize(QSize(60, 25));
    const QIcon picture = resourceIcon(icon);
    button->setIcon(picture);
    if (picture.availableSizes().isEmpty())
        button->setText(QString::fromUtf8(fallback));
    return button;
}

// The flag of a language that is not the one shown: faded, so the one in use stands out.
QIcon fadedIcon(const QIcon& icon, QSize size)
{
    QImage faded(size, QImage::Format_ARGB32_Premultiplied);
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(0.35);
    painter.drawPixmap(0, 0, icon.pixmap(size));
    painter.end();
    return QIcon(QPixmap::fromImage(faded));
}

// Insertion sort by number: stable, so equal numbers keep their order.
void sortByNumber(QList<CustomTableItem*>& items)
{
    for (int i = 1; i < items.size(); ++i) {
        CustomTableItem* item = items.at(i);
        int j = i - 1;
        while (j >= 0 && items.at(j)->object->number > item->object->number) {
            items[j + 1] = items.at(j);
            --j;
        }
        items[j + 1] = item;
    }
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    m_pictureModel = std::make_unique<CustomTableModel>(QList<CustomTableItem*>(), 1, -1);
    m_clipModel = std::make_unique<CustomTableModel>(QList<CustomTableItem*>(), 1, -1);
    setupForm();
    btnPlay->hide();
    btnStop->hide();
    setupToolBar();

    lblVersion = new QLabel(tr(" Ver: %1").arg(QLatin1String(versionText)), this);
    lblLine = new QLabel(this);
    lblLed = new QLabel(this);
    for (QLabel* label : {lblVersion, lblLine, lblLed}) {
        label->setFrameShape(QFrame::NoFrame);
        statusBar()->addWidget(label);
    }
    refreshGeometryLabels();

    previewWidget->setAutoFillBackground(true);
    setPreviewImage(roundAreaOverlay(false));

    connect(btnDelImage, &QPushButton::clicked, this, &MainWindow::onBtnDelImage);
    connect(btnPlay, &QPushButton::clicked, this, &MainWindow::onBtnPlayClick);
    connect(btnStop, &QPushButton::clicked, this, &MainWindow::onBtnStopClick);
    connect(btnDelMedia, &QPushButton::clicked, this, &MainWindow::onBtnDelMedia);
    btnEditMedia->hide();

    m_handler = std::make_unique<PlayMediaHandler>(obtainWorkerThread());
    connect(m_handler.get(), &PlayMediaHandler::handlerMessage, this, &MainWindow::handlerMessage);
    setupDrives();

    setupTable(tableView);
    setupTable(tableViewMedia);
    auto* pictureDelegate = new ListImageItemDelegate(m_handler.get(), tableView);
    auto* clipDelegate = new ListMediaItemDelegate(m_handler.get(), tableViewMedia);
    tableView->setItemDelegate(pictureDelegate);
    tableViewMedia->setItemDelegate(clipDelegate);
    tableView->setModel(m_pictureModel.get());
    tableViewMedia->setModel(m_clipModel.get());
    tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableViewMedia->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    connect(pictureDelegate, &ListImageItemDelegate::imageIndexChanged, this, &MainWindow::onImageIndexChanged);
    connect(clipDelegate, &ListMediaItemDelegate::mediaIndexChanged, this, &MainWindow::onMediaIndexChanged);
    connect(tableView, &QTableView::pressed, this, &MainWindow::pressImageWidget);
    connect(pictureDelegate, &ListImageItemDelegate::rowPressed, this, &MainWindow::pressImageWidget);
    connect(clipDelegate, &ListMediaItemDelegate::rowPressed, this, &MainWindow::pressMediaWidget);
    connect(tableViewMedia, &QTableView::pressed, this, &MainWindow::pressMediaWidget);
    setupPlaylistInput(tableView);
    setupPlaylistInput(tableViewMedia);
    tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tableView, &QTableView::customContextMenuRequested, this, &MainWindow::onTableViewMenuRequested);

    tableMenu = new QMenu(this);
    tableMenu->setObjectName(QStringLiteral("tableMenu"));
    contrastAction = tableMenu->addAction(tr("调整对比度"));
    contrastAction->setObjectName(QStringLiteral("contrastAction"));
    connect(contrastAction, &QAction::triggered, this, &MainWindow::updateImageContract);

    btnDelImage->setEnabled(false);
    btnDelMedia->setEnabled(false);
    btnEditImage->setEnabled(false);
    setupDiy();
    retranslate();
    setupKeyboard();
}

MainWindow::~MainWindow()
{
    m_playing = false;
    m_selectedClip = nullptr;
    // The views and their row editors go first: an editor still talks to the handler.
    delete takeCentralWidget();
    // The worker must be done with our handler before the rows go.
    m_handler.reset();
    // The models leave their rows to us: deleting them removes their files.
    m_pictureModel->delRow(0, m_pictureModel->rowCount());
    m_clipModel->delRow(0, m_clipModel->rowCount());
}

// One page of the side panel: its edit and delete buttons over its table.
QWidget* MainWindow::makeListPage(const char* name, const char* editIcon, const char* editName,
                                  const char* deleteName, const char* tableName, QPushButton*& edit,
                                  QPushButton*& remove, QTableView*& table)
{
    auto* listPage = new QWidget;
    listPage->setObjectName(QLatin1String(name));
    edit = new QPushButton(resourceIcon(editIcon), QString(), listPage);
    edit->setObjectName(QLatin1String(editName));
    remove = new QPushButton(resourceIcon("edit_delete.png"), QString(), listPage);
    remove->setObjectName(QLatin1String(deleteName));
    table = new QTableView(listPage);
    table->setObjectName(QLatin1String(tableName));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(listPage);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(table);
    return listPage;
}

void MainWindow::setupForm()
{
    setMinimumSize(800, 600);
    setWindowIcon(QIcon(QStringLiteral(":/images/logo2.jpg")));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));

    // The preview sits on a dark surround, so the fan's dots on black read as a display.
    auto* previewArea = new QWidget(central);
    previewArea->setObjectName(QStringLiteral("previewArea"));
    previewArea->setAutoFillBackground(true);
    QPalette areaPalette = previewArea->palette();
    areaPalette.setColor(QPalette::Window, QColor(58, 58, 64));
    previewArea->setPalette(areaPalette);

    previewWidget = new QWidget(previewArea);
    previewWidget->setObjectName(QStringLiteral("previewWidget"));
    previewWidget->setFixedSize(450, 450);

    btnPlay = new QPushButton(previewArea);
    btnPlay->setObjectName(QStringLiteral("btnPlay"));
    btnPlay->setIcon(resourceIcon("play.png"));
    btnStop = new QPushButton(previewArea);
    btnStop->setObjectName(QStringLiteral("btnStop"));
    btnStop->setIcon(resourceIcon("stop.png"));
    QPalette buttonPalette = btnPlay->palette();
    buttonPalette.setColor(QPalette::ButtonText, Qt::white);
    for (QPushButton* button : {btnPlay, btnStop}) {
        button->setPalette(buttonPalette);
        button->setIconSize(QSize(28, 28));
        button->setFixedSize(40, 34);
        button->setFlat(true);
    }
    // Without their pictures the buttons would be blank squares.
    if (btnPlay->icon().availableSizes().isEmpty())
        btnPlay->setText(QStringLiteral("\u25B6"));
    if (btnStop->icon().availableSizes().isEmpty())
        btnStop->setText(QStringLiteral("\u25A0"));

    // The buttons' row keeps its height while both are hidden, so the preview never moves.
    auto* playBar = new QWidget(previewArea);
    playBar->setFixedHeight(34);
    btnPlay->setParent(playBar);
    btnStop->setParent(playBar);
    auto* playRow = new QHBoxLayout(playBar);
    playRow->setContentsMargins(0, 0, 0, 0);
    playRow->addStretch();
    playRow->addWidget(btnPlay);
    playRow->addWidget(btnStop);
    playRow->addStretch();
    auto* previewLayout = new QVBoxLayout(previewArea);
    // Tight enough that the preview and its buttons fit the smallest window (800 x 600).
    previewLayout->setContentsMargins(12, 4, 12, 4);
    previewLayout->setSpacing(0);
    previewLayout->addStretch();
    previewLayout->addWidget(previewWidget, 0, Qt::AlignHCenter);
    previewLayout->addWidget(playBar);
    previewLayout->addStretch();

    toolBox = new QToolBox(central);
    toolBox->setObjectName(QStringLiteral("toolBox"));
    toolBox->setMinimumWidth(300);

    page = makeListPage("page", "write.png", "btnEditImage", "btnDelImage", "tableView",
                        btnEditImage, btnDelImage, tableView);
    page_2 = makeListPage("page_2", "xine.png", "btnEditMedia", "btnDelMedia", "tableViewMedia",
                          btnEditMedia, btnDelMedia, tableViewMedia);

    toolBox->addItem(page, QString());
    toolBox->addItem(page_2, QString());

    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(previewArea, 3);
    layout->addWidget(toolBox, 2);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
}

void MainWindow::setupToolBar()
{
    auto makeAction = [this](const char* icon, const char* name) {
        auto* action = new QAction(icon ? resourceIcon(icon) : QIcon(), QString(), this);
        action->setObjectName(QLatin1String(name));
        // Enabled by the work that brings the feature.
        action->setEnabled(false);
        return action;
    };
    actionOpenImage = makeAction("open.png", "actionOpenImage");
    actionDownload = makeAction("download_file.png", "actionDownload");
    actionNewDiy = makeAction("design.png", "actionNewDiy");
    actionLoadMedia = makeAction("import_media.png", "actionLoadMedia");
    actionLoadGif = makeAction("import_gif.png", "actionLoadGif");
    actionPreview = makeAction("preview_usb.png", "actionPreview");
    actionRestoreFactory = makeAction("default_ui.png", "actionRestoreFactory");
    actionSettingColor = makeAction("ic_flowers.png", "actionSettingColor");
    // Menu entries only: the program has no pictures for them.
    actionLedCount = makeAction(nullptr, "actionLedCount");
    actionLineNumber = makeAction(nullptr, "actionLineNumber");
    actionOpenImage->setEnabled(true);
    connect(actionOpenImage, &QAction::triggered, this, &MainWindow::onActionOpenImage);
    actionLoadMedia->setEnabled(true);
    connect(actionLoadMedia, &QAction::triggered, this, &MainWindow::onActionLoadMedia);
    actionLoadGif->setEnabled(true);
    connect(actionLoadGif, &QAction::triggered, this, &MainWindow::onActionLoadGif);
    for (QAction* action : {actionSettingColor, actionLedCount, actionLineNumber})
        action->setEnabled(true);
    connect(actionSettingColor, &QAction::triggered, this, &MainWindow::onActionSettingColor);
    connect(actionLedCount, &QAction::triggered, this, &MainWindow::onBtnLedCount);
    connect(actionLineNumber, &QAction::triggered, this, &MainWindow::onBtnLineNumber);

    toolBar = addToolBar(QString());
    toolBar->setObjectName(QStringLiteral("mainToolBar"));
    toolBar->setIconSize(QSize(30, 30));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->addAction(actionNewDiy);
    toolBar->addAction(actionOpenImage);
    toolBar->addAction(actionLoadMedia);
    toolBar->addAction(actionLoadGif);
    toolBar->addAction(actionDownload);
    toolBar->addSeparator();
    toolBar->addAction(actionPreview);
    toolBar->addAction(actionRestoreFactory);

    auto* stretch = new QWidget(toolBar);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar->addWidget(stretch);

    auto* languages = new QWidget(toolBar);
    btnZhCn = languageButton("zh_cn.png", "简体", languages);
    btnZhCn->setObjectName(QStringLiteral("btnZhCn"));
    btnZhHk = languageButton("zh_hk.png", "繁體", languages);
    btnZhHk->setObjectName(QStringLiteral("btnZhHk"));
    btnEnUs = languageButton("en_us.png", "EN", languages);
    btnEnUs->setObjectName(QStringLiteral("btnEnUs"));
    auto* row = new QHBoxLayout(languages);
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(btnZhCn);
    row->addWidget(btnZhHk);
    row->addWidget(btnEnUs);
    toolBar->addWidget(languages);
    connect(btnZhCn, &QPushButton::clicked, this, &MainWindow::onBtnZhCnClick);
    connect(btnZhHk, &QPushButton::clicked, this, &MainWindow::onBtnZhHkClick);
    connect(btnEnUs, &QPushButton::clicked, this, &MainWindow::onBtnEnUsClick);

    // What the toolbar has no room for: the colour table and the fan's geometry.
    menuSettings = menuBar()->addMenu(QString());
    menuSettings->setObjectName(QStringLiteral("menuSettings"));
    menuSettings->addAction(actionSettingColor);
    menuSettings->addSeparator();
    menuSettings->addAction(actionLedCount);
    menuSettings->addAction(actionLineNumber);
}

void MainWindow::setupTable(QTableView* table)
{
    table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTextElideMode(Qt::ElideMiddle);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(60);
    table->verticalHeader()->hide();
    table->horizontalHeader()->hide();
    table->setShowGrid(false);
}

void MainWindow::retranslate()
{
    setWindowTitle(tr("Gyrolume"));
    btnEditImage->setText(tr("编辑图片"));
    btnDelImage->setText(tr("删除图片"));
    btnEditMedia->setText(tr("编辑视频"));
    btnDelMedia->setText(tr("删除视频"));
    toolBox->setItemText(toolBox->indexOf(page), tr("图片列表"));
    toolBox->setItemText(toolBox->indexOf(page_2), tr("视频列表"));
    actionOpenImage->setText(tr("action_title_open_image"));
    actionDownload->setText(tr("action_title_download"));
    actionNewDiy->setText(tr("action_title_new_diy"));
    actionLoadMedia->setText(tr("action_title_import_video"));
    actionLoadGif->setText(tr("action_title_import_gif"));
    actionPreview->setText(tr("action_title_preview"));
    actionRestoreFactory->setText(tr("action_title_default"));
    toolBar->setWindowTitle(tr("action_title_menu"));
    actionSettingColor->setText(tr("颜色调试参数"));
    actionLedCount->setText(tr("action_title_led_count"));
    actionLineNumber->setText(tr("action_title_line_number"));
    menuSettings->setTitle(tr("menu_title_settings"));
    contrastAction->setText(tr("调整对比度"));

    // Rows are painted in the new language at once; an open row editor would keep the old
    // one, so it is closed.
    for (QTableView* table : {tableView, tableViewMedia}) {
        for (QWidget* editor : table->viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<ImageObjectWidget*>(editor) || qobject_cast<MediaObjectWidget*>(editor))
                emit table->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
        table->viewport()->update();
    }
}

void MainWindow::chooseStartLanguage(const QLocale& locale)
{
    if (locale.territory() == QLocale::China)
        onBtnZhCnClick();
    else
        onBtnEnUsClick();
}

void MainWindow::switchLanguage(int language, const char* slotName)
{
    qDebug() << slotName;
    if (AppSettings::language == language)
        return;
    AppSettings::language = language;

    QCoreApplication::removeTranslator(&appTranslator);
    if (!appTranslator.load(Translations::programTable(language)))
        qDebug() << "#MainWindow# cannot load" << Translations::programTable(language);
    QCoreApplication::installTranslator(&appTranslator);

    QCoreApplication::removeTranslator(&toolkitTranslator);
    const QString toolkit = Translations::toolkitTable(language);
    if (!toolkit.isEmpty()) {
        if (toolkitTranslator.load(toolkit))
            QCoreApplication::installTranslator(&toolkitTranslator);
        else
            qDebug() << "#MainWindow# cannot load" << toolkit;
    }
    retranslate();
    showActiveLanguage();
}

void MainWindow::showActiveLanguage()
{
    const QList<std::pair<QPushButton*, const char*>> buttons = {
        {btnZhCn, "zh_cn.png"}, {btnZhHk, "zh_hk.png"}, {btnEnUs, "en_us.png"}};
    const int active[] = {AppSettings::SimplifiedChinese, AppSettings::TraditionalChinese, AppSettings::English};
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* button = buttons.at(i).first;
        const bool inUse = AppSettings::language == active[i];
        const QIcon icon = resourceIcon(buttons.at(i).second);
        button->setChecked(inUse);
        button->setIcon(inUse ? icon : fadedIcon(icon, button->iconSize()));
    }
}

void MainWindow::onBtnZhCnClick() { switchLanguage(AppSettings::SimplifiedChinese, "onBtnZhCnClick"); }
void MainWindow::onBtnZhHkClick() { switchLanguage(AppSettings::TraditionalChinese, "onBtnZhHkClick"); }
void MainWindow::onBtnEnUsClick() { switchLanguage(AppSettings::English, "onBtnEnUsClick"); }

void MainWindow::refreshGeometryLabels()
{
    lblLine->setText(tr(" LINE:%1").arg(AppSettings::lineNumber));
    lblLed->setText(tr(" LED:%1").arg(AppSettings::ledCount));
}

void MainWindow::onBtnMinWindow() { showMinimized(); }
void MainWindow::onBtnMaxWindow() { showFullScreen(); }
void MainWindow::onBtnCloseWindow() { close(); }

void MainWindow::setPreviewImage(const QImage& image)
{
    QPalette palette = previewWidget->palette();
    const QBrush brush(image);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, QPalette::Window, brush);
    previewWidget->setPalette(palette);
}

void MainWindow::showWhitePreview()
{
    QImage white(1, 1, QImage::Format_RGB32);
    white.fill(Qt::white);
    setPreviewImage(white);
}

int MainWindow::nextPictureNumber() const
{
    int largest = 0;
    for (const CustomTableItem* item : m_pictureModel->items())
        largest = qMax(largest, item->object->number);
    return largest + 1;
}

QString MainWindow::copyToTemp(const QString& path, bool* ok)
{
    const QString copy = AppSettings::ensureTempDir() + QStringLiteral("image_")
                         + QString::number(nextImageCopy++) + QLatin1Char('.')
                         + QFileInfo(path).completeSuffix();
    QFile::remove(copy);
    *ok = QFile::copy(path, copy);
    if (!*ok)
        qDebug() << "#MainWindow# cannot copy" << path << "to" << copy;
    return copy;
}

MainWindow::AddStatus MainWindow::addPictureFile(const QString& path)
{
    bool copied = false;
    const QString copy = copyToTemp(path, &copied);
    if (!copied)
        return AddStatus::CopyFailed;
    const QImage image(copy);
    if (image.isNull()) {
        qDebug() << "#MainWindow# not a picture:" << path;
        QFile::remove(copy);
        return AddStatus::NotAPicture;
    }
    auto* picture = new ImageObject(nextPictureNumber(), copy, 5.0, ImageObject::PictureKind);
    convertToPolar(image, picture);
    m_pictureModel->appendItems({new CustomTableItem{picture}});
    return AddStatus::Added;
}

MainWindow::AddStatus MainWindow::addPictureObject(ImageObject* picture)
{
    bool copied = false;
    const QString copy = copyToTemp(picture->sourcePath, &copied);
    picture->number = nextPictureNumber();
    if (copied)
        picture->sourcePath = copy;
    m_pictureModel->appendItems({new CustomTableItem{picture}});
    return copied ? AddStatus::Added : AddStatus::CopyFailed;
}

void MainWindow::addClipObject(MediaObject* clip)
{
    clip->number = m_clipModel->rowCount() + 1;  // rows count from 1, read or new
    m_clipModel->appendItems({new CustomTableItem{clip}});
    toolBox->setCurrentWidget(page_2);
}

void MainWindow::clearPlaylist()
{
    // The clip being played goes with its row.
    stopPlayback();
    m_selectedClip = nullptr;
    m_pictureModel->delRow(0, m_pictureModel->rowCount());
    m_clipModel->delRow(0, m_clipModel->rowCount());
}

void MainWindow::stopPlayback()
{
    if (!m_playing)
        return;
    m_handler->removeMessages(MessageCode::ClipFrame);
    m_playing = false;
    btnStop->hide();
}

void MainWindow::showInPreview(ImageObject* picture)
{
    stopPlayback();
    btnPlay->hide();
    btnStop->hide();
    if (picture) {
        setPreviewImage(picture->loadPreview());
        btnDelImage->setEnabled(true);
        btnEditImage->setEnabled(picture->editable());
    } else {
        showWhitePreview();
        btnDelImage->setEnabled(false);
        btnEditImage->setEnabled(false);
    }
}

void MainWindow::pressImageWidget(const QModelIndex& index)
{
    qDebug() << "#MainWindow# pressImageWidget() ";
    ImageObject* picture = nullptr;
    const QVariant value = m_pictureModel->data(index, Qt::DisplayRole);
    if (index.isValid() && value.canConvert<CustomTableItem>())
        picture = qobject_cast<ImageObject*>(value.value<CustomTableItem>().object);
    showInPreview(picture);
}

void MainWindow::pressMediaWidget(const QModelIndex& index)
{
    stopPlayback();
    MediaObject* clip = nullptr;
    const QVariant value = m_clipModel->data(index, Qt::DisplayRole);
    if (index.isValid() && value.canConvert<CustomTableItem>())
        clip = qobject_cast<MediaObject*>(value.value<CustomTableItem>().object);
    btnStop->hide();
    if (clip && !clip->frames.isEmpty()) {
        m_selectedClip = clip;
        setPreviewImage(clip->frames.first()->loadPreview());
        btnPlay->show();
    } else {
        m_selectedClip = nullptr;
        btnPlay->hide();
        showWhitePreview();
    }
    // A clip without frames can still be deleted.
    btnDelMedia->setEnabled(clip != nullptr);
}

// The rows to delete: every selected row, or the current one when none is selected; last
// first, so the rows still to go keep their places.
static QList<int> rowsToDelete(const QTableView* table)
{
    QList<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty() && table->currentIndex().isValid())
        rows.append(table->currentIndex().row());
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    return rows;
}

void MainWindow::onBtnDelImage()
{
    const QList<int> rows = rowsToDelete(tableView);
    if (rows.isEmpty())
        return;
    for (int row : rows)
        m_pictureModel->delRow(row, 1);
    pressImageWidget(chooseRowAfterDelete(tableView, rows.last()));
}

void MainWindow::onBtnDelMedia()
{
    const QList<int> rows = rowsToDelete(tableViewMedia);
    if (!rows.isEmpty()) {
        stopPlayback();
        m_selectedClip = nullptr;
        for (int row : rows)
            m_clipModel->delRow(row, 1);
    }
    pressMediaWidget(rows.isEmpty() ? QModelIndex() : chooseRowAfterDelete(tableViewMedia, rows.last()));
}

QModelIndex MainWindow::chooseRowAfterDelete(QTableView* table, int firstDeleted)
{
    // The row that took the first deleted one's place is chosen, as in a file manager, so
    // that the highlight, the buttons and the preview agree (and Delete can go on).
    const int rows = table->model()->rowCount();
    const QModelIndex index = rows == 0 ? QModelIndex() : table->model()->index(qMin(firstDeleted, rows - 1), 0);
    makeCurrentRow(table, index);
    return index;
}

void MainWindow::makeCurrentRow(QTableView* table, const QModelIndex& index)
{
    table->setCurrentIndex(index);
    if (index.isValid())
        table->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void MainWindow::refreshPictureRow(const QModelIndex& index)
{
    m_pictureModel->refrehItem(index);
    // An open row editor shows its own copy of the thumbnail.
    if (auto* editor = qobject_cast<ImageObjectWidget*>(tableView->indexWidget(index)))
        editor->onImageContractChanged(editor);
}

void MainWindow::onBtnPlayClick()
{
    if (!m_selectedClip)
        return;
    frameIndex = 0;
    ++playToken;
    auto* msg = new Message(m_handler.get(), MessageCode::ClipFrame);
    msg->obj = m_selectedClip;
    msg->obj2 = reinterpret_cast<void*>(playToken);
    m_handler->sendMessageDelayed(msg, 0);
    btnPlay->hide();
    btnStop->show();
    m_playing = true;
}

void MainWindow::onBtnStopClick()
{
    m_handler->removeMessages(MessageCode::ClipFrame);
    m_playing = false;
    btnStop->hide();
    if (m_selectedClip)
        btnPlay->show();
}

void MainWindow::handlerMessage(Message* msg)
{
    qDebug() << "handlerMessage " << msg->what;
    switch (msg->what) {
    case MessageCode::ClipFrame:
        showNextClipFrame(msg);
        break;
    case MessageCode::TimeAdd:
    case MessageCode::TimeDel:
        stepPictureRow(msg);
        break;
    case MessageCode::LoopAdd:
    case MessageCode::LoopDel:
        stepClipRow(msg);
        break;
    case MessageCode::Download:
        finishDownload(msg);
        break;
    default:
        // Another receiver of the handler's replies may own it.
        break;
    }
}

void MainWindow::showNextClipFrame(Message* msg)
{
    // A frame of a playback that has since been stopped, or of another clip, ends here:
    // it was already on its way when the queue was emptied.
    if (!m_playing || msg->obj != m_selectedClip || msg->obj2 != reinterpret_cast<void*>(playToken)) {
        delete msg;
        return;
    }
    const QList<ImageObject*>& frames = m_selectedClip->frames;
    if (frames.isEmpty()) {
        delete msg;
        onBtnStopClick();
        return;
    }
    if (frameIndex < 0 || frameIndex >= frames.size())
        frameIndex = 0;
    setPreviewImage(frames.at(frameIndex)->loadPreview());
    ++frameIndex;
    m_handler->sendMessageDelayed(msg, MessageCode::repeatDelayMs);
}

void MainWindow::stepPictureRow(Message* msg)
{
    ImageObjectWidget* widget = ImageObjectWidget::fromMessageObject(msg->obj);
    if (!widget) {
        delete msg;  // the row's editor was closed while the step was on its way
        return;
    }
    widget->applyStep(msg->what);
    if (widget->isHolding(msg))
        m_handler->sendMessageDelayed(msg, MessageCode::repeatDelayMs);
    else
        delete msg;
}

void MainWindow::stepClipRow(Message* msg)
{
    MediaObjectWidget* widget = MediaObjectWidget::fromMessageObject(msg->obj);
    if (!widget) {
        delete msg;
        return;
    }
    widget->applyStep(msg->what);
    if (widget->isHolding(msg))
        m_handler->sendMessageDelayed(msg, MessageCode::repeatDelayMs);
    else
        delete msg;
}

void MainWindow::reorderItems(CustomTableModel* model, QObject* item, int oldIndex, int newIndex,
                              const char* debugName)
{
    QList<CustomTableItem*> items = model->items();
    if (items.isEmpty() || oldIndex == newIndex)
        return;
    int largest = items.first()->object->number;
    for (const CustomTableItem* row : items)
        largest = qMax(largest, row->object->number);
    qDebug() << debugName << ", " << largest;
    if (newIndex > largest)
        newIndex = largest;
    auto* moved = static_cast<PlaylistObject*>(item);
    moved->number = newIndex;
    for (CustomTableItem* row : items) {
        PlaylistObject* other = row->object;
        if (other == moved)
            continue;
        if (oldIndex < newIndex) {
            if (other->number > oldIndex && other->number <= newIndex)
                --other->number;
        } else if (other->number >= newIndex && other->number < oldIndex) {
            ++other->number;
        }
    }
    sortByNumber(items);
    model->resetItems(items);
}

void MainWindow::onImageIndexChanged(ImageObject* picture, int oldIndex, int newIndex)
{
    reorderItems(m_pictureModel.get(), picture, oldIndex, newIndex, "onImageIndexChanged()");
}

void MainWindow::onMediaIndexChanged(MediaObject* clip, int oldIndex, int newIndex)
{
    reorderItems(m_clipModel.get(), clip, oldIndex, newIndex, "onMediaIndexChanged()");
}

ImageObject* MainWindow::currentPicture() const
{
    const QVariant value = m_pictureModel->data(tableView->currentIndex(), Qt::DisplayRole);
    if (!tableView->currentIndex().isValid() || !value.canConvert<CustomTableItem>())
        return nullptr;
    return qobject_cast<ImageObject*>(value.value<CustomTableItem>().object);
}

void MainWindow::onTableViewMenuRequested(const QPoint&)
{
    ImageObject* picture = currentPicture();
    if (!picture)
        return;
    // Pictures read back from a drive have no source to adjust.
    contrastAction->setEnabled(picture->kind != ImageObject::ReadBackPictureKind);
    tableMenu->popup(QCursor::pos());
}

void MainWindow::onActionOpenImage()
{
    if (m_pictureModel->rowCount() >= pictureLimit) {
        QMessageBox::information(this, tr("dialog_title_tip"),
                                 tr("图片最多只能包含%1张图片！").arg(pictureLimit), QMessageBox::Ok);
        return;
    }
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("dialog_title_load_picture"),
                                                            AppSettings::openDir,
                                                            tr("image Files (*.png *.jpg)"));
    if (files.isEmpty())
        return;
    AppSettings::openDir = QFileInfo(files.first()).absolutePath();
    importPictureFiles(files);
    toolBox->setCurrentWidget(page);
}

void MainWindow::importPictureFiles(const QStringList& files)
{
    // The files are converted on the worker thread; each picture joins the list as it is
    // done, so those converted before a Cancel stay.
    auto dialog = std::make_unique<LoadImagesDialog>(files, this, this);
    dialog->exec();
    dialog->finish();
}

void MainWindow::onActionSettingColor()
{
    SettingColorForm form(this);
    form.exec();
}

void MainWindow::onBtnLedCount()
{
    UpdateLedCountDialog dialog(this);
    changeGeometry(dialog, AppSettings::ledCount, "#MainWindow# onBtnLedCount() ", "LED数量被修改.");
}

void MainWindow::onBtnLineNumber()
{
    UpdateLineNumberDialog dialog(this);
    changeGeometry(dialog, AppSettings::lineNumber, "#MainWindow# onBtnLineNumber() ", "分辨率被修改.");
}

void MainWindow::changeGeometry(UpdateGeometryDialog& dialog, int& setting, const char* debugName,
                                const char* changedText)
{
    // Wide enough for its title beside the window manager's icon and buttons.
    const int titleWidth = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle());
    dialog.setFixedSize(qMax(250, titleWidth + 160), 100);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int value = dialog.value();
    if (value == setting)
        return;
    qDebug().noquote() << debugName << value;
    QMessageBox question(QMessageBox::Question, tr("提示"), tr(changedText),
                         QMessageBox::Ok | QMessageBox::Cancel);
    question.setInformativeText(tr("所有的打开的图片效果将会被删除，是否继续？"));
    // The whole playlist goes: only a deliberate choice may do that.
    question.setDefaultButton(QMessageBox::Cancel);
    question.setEscapeButton(QMessageBox::Cancel);
    if (question.exec() != QMessageBox::Ok)
        return;
    // Nothing converted with the old geometry may survive.
    clearPlaylist();
    pressImageWidget(QModelIndex());
    pressMediaWidget(QModelIndex());
    setting = value;
    refreshGeometryLabels();
}

int MainWindow::runProgressDialog(const QString& text, bool cancellable)
{
    if (m_progressDialog)
        return QDialog::Rejected;
    auto* dialog = new ProgressDialog(text, this);
    dialog->setCancellable(cancellable);
    m_progressDialog = dialog;
    const int result = dialog->exec();
    // Cancelled (or closed) by the user: the job goes on and closes nothing.
    if (m_progressDialog == dialog) {
        m_progressDialog = nullptr;
        delete dialog;
    }
    return result;
}

void MainWindow::closeProgressDialog()
{
    ProgressDialog* dialog = m_progressDialog;
    if (!dialog)
        return;
    m_progressDialog = nullptr;
    dialog->accept();
    dialog->deleteLater();
}
