#pragma once

#include <QImage>
#include <QList>
#include <QMainWindow>
#include <QModelIndex>
#include <QPointer>
#include <QTranslator>

#include <memory>

class CustomTableModel;
class DriveList;
class DriveMonitor;
class ImageObject;
class MediaObject;
class Message;
class PlayMediaHandler;
struct ReadBackJob;
#include "progressdialog.h"
class QLabel;
class QLocale;
class QMenu;
class QPushButton;
class QTableView;
class QToolBar;
class QToolBox;
class QWidget;
class UpdateGeometryDialog;

// The program's only top-level window: the picture and clip lists, the round preview with
// clip playback, the toolbar, the language buttons and the status bar. It owns both lists
// and starts every job.
//
// What other work hooks into (GUI thread only):
// - handler(): the PlayMediaHandler on the shared worker thread. Post jobs to it; its
//   replies arrive at handlerMessage(Message*), which dispatches by code (add new codes
//   there). Codes it does not know are left untouched for other receivers.
// - Drive jobs: post the job, then runProgressDialog(text), which shows the modal
//   ProgressDialog and returns when the job's reply calls closeProgressDialog() or the user
//   cancels; progressDialog() gives the box while it is shown (for setProgress).
// - The drive jobs (download, preview, factory restore) live in mainwindowdrivejobs.cpp,
//   the GIF import in mainwindowclips.cpp, the video import in mainwindowvideo.cpp, the
//   contrast of a picture in mainwindowcontrast.cpp, the drawing editor's New DIY and
//   Picture editing in mainwindowdiy.cpp.
// - addPictureFile() and addPictureObject() add pictures, addClipObject() adds a clip,
//   clearPlaylist() empties both lists, showInPreview() shows a picture in the preview.
// - A writer of AppSettings::ledCount or lineNumber calls refreshGeometryLabels().
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Why a picture could not be added.
    enum class AddStatus { Added, CopyFailed, NotAPicture };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Simplified Chinese in China, English everywhere else.
    void chooseStartLanguage(const QLocale& locale);

    // Copies the file into the temporary directory, converts it and appends it to the
    // picture list. Nothing is added when the copy or the decoding fails.
    AddStatus addPictureFile(const QString& path);
    // Takes ownership of a converted picture: copies its source file into the temporary
    // directory and appends it. It joins the list even if the copy fails.
    AddStatus addPictureObject(ImageObject* picture);
    // Takes ownership of a clip and appends it to the clip list.
    void addClipObject(MediaObject* clip);
    // Removes every row of both lists; their objects and files are deleted.
    void clearPlaylist();
    // Shows a picture (null for none) in the preview.
    void showInPreview(ImageObject* picture);
    void refreshGeometryLabels();

    // Modal until closeProgressDialog() or Cancel; returns QDialog::Accepted when the job
    // closed it.
    int runProgressDialog(const QString& text, bool cancellable = true);
    void closeProgressDialog();
    ProgressDialog* progressDialog() const { return m_progressDialog; }

    PlayMediaHandler* handler() const { return m_handler.get(); }
    DriveList* drives() const { return m_drives; }
    DriveMonitor* driveMonitor() const { return m_driveMonitor; }
    CustomTableModel* pictureModel() const { return m_pictureModel.get(); }
    CustomTableModel* clipModel() const { return m_clipModel.get(); }
    MediaObject* selectedClip() const { return m_selectedClip; }
    bool isPlaying() const { return m_playing; }

    // The most pictures Import Picture starts with.
    static constexpr int pictureLimit = 50;

    QAction* actionOpenImage = nullptr;
    QAction* actionDownload = nullptr;
    QAction* actionNewDiy = nullptr;
    QAction* actionLoadMedia = nullptr;
    QAction* actionLoadGif = nullptr;
    QAction* actionPreview = nullptr;
    QAction* actionRestoreFactory = nullptr;
    QAction* actionSettingColor = nullptr;
    QAction* actionLedCount = nullptr;
    QAction* actionLineNumber = nullptr;
    QAction* contrastAction = nullptr;

protected:
    // Tab walks keyboardStops().
    bool focusNextPrevChild(bool next) override;

signals:
    void usbMountEvent(QString path);
    void usbUMountEvent(QString path);

public slots:
    void onBtnMinWindow();
    void onBtnMaxWindow();
    void onBtnCloseWindow();
    void onActionOpenImage();
    void onBtnDelImage();
    void onBtnDelMedia();
    void pressMediaWidget(const QModelIndex& index);
    void pressImageWidget(const QModelIndex& index);
    void onBtnPlayClick();
    void onBtnStopClick();
    void handlerMessage(Message* msg);
    void onTableViewMenuRequested(const QPoint& point);
    void onBtnZhCnClick();
    void onBtnZhHkClick();
    void onBtnEnUsClick();
    void onImageIndexChanged(ImageObject* picture, int oldIndex, int newIndex);
    // The drive jobs (mainwindowdrivejobs.cpp).
    void onActionDownToUsb();
    void onActionPreviewFromUsb();
    void previewUsbOver();
    void onActionRestoreFactory();
    void restoreFactoryOver();
    void onMediaIndexChanged(MediaObject* clip, int oldIndex, int newIndex);
    // The contrast of the current picture (mainwindowcontrast.cpp).
    void updateImageContract();
    void onImageContractChanged(QObject* object);
    void onActionSettingColor();
    // The clip imports (mainwindowclips.cpp).
    void onActionLoadGif();
    // Import Video (mainwindowvideo.cpp): the file is asked for when path is empty.
    void onActionLoadMedia();
    bool importVideo(const QString& path);
    void onBtnLedCount();
    void onBtnLineNumber();
    // The drawing editor (mainwindowdiy.cpp).
    void onActionNewDiy();
    void onBtnEditDiy();

private:
    void setupDiy();
    // Saves a drawing (format from the suffix when null); tells the user when it fails.
    bool saveDiyPicture(const QImage& picture, const QString& path, const char* format);
    void setupDrives();
    QString chooseDrive(bool forPreview);
    // Before a read replaces the lists: asks when they hold anything, the note (what else
    // changes) first. True to go on.
    bool confirmReplacePlaylist(const QString& note = QString());
    void startReadJob(int code, const QString& path, const QString& text);
    void takeReadObjects();
    // One file holds records of one size: mends a mixture where that is exact, otherwise
    // says which rows differ. True to go on with the download.
    bool matchRecordForms();
    // Why a read gave nothing to show, or what to tell about what it did show; empty if nothing.
    QString readFailureText(const ReadBackJob& job) const;
    QString readNoteText(const ReadBackJob& job) const;
    void finishDownload(Message* msg);
    void setupForm();
    QWidget* makeListPage(const char* name, const char* editIcon, const char* editName,
                          const char* deleteName, const char* tableName, QPushButton*& edit,
                          QPushButton*& remove, QTableView*& table);
    void setupToolBar();
    void setupTable(QTableView* table);
    // The list's mouse and keyboard (mainwindowinput.cpp).
    void setupPlaylistInput(QTableView* table);
    void moveRow(QTableView* table, int from, int to);
    void setupKeyboard();
    // Every place Tab stops at, in order, whether it can take the focus now or not.
    QList<QWidget*> keyboardStops() const;
    void retranslate();
    void switchLanguage(int language, const char* slotName);
    // The flag of the language in use in full colour and checked, the others faded.
    void showActiveLanguage();
    void setPreviewImage(const QImage& image);
    void showWhitePreview();
    void importPictureFiles(const QStringList& files);
    // Asks for a new value with the dialog and, once the user agrees to lose the playlist,
    // stores it in `setting`.
    void changeGeometry(UpdateGeometryDialog& dialog, int& setting, const char* debugName,
                        const char* changedText);
    void stopPlayback();
    void showNextClipFrame(Message* msg);
    void stepPictureRow(Message* msg);
    void stepClipRow(Message* msg);
    void reorderItems(CustomTableModel* model, QObject* item, int oldIndex, int newIndex,
                      const char* debugName);
    int nextPictureNumber() const;
    // After a delete: makes the row now at `firstDeleted` (or the last) current and chosen.
    QModelIndex chooseRowAfterDelete(QTableView* table, int firstDeleted);
    // The row becomes the table's current one and its only selected row (none when invalid).
    void makeCurrentRow(QTableView* table, const QModelIndex& index);
    // Repaints a picture's row after its thumbnail changed, the open row editor included.
    void refreshPictureRow(const QModelIndex& index);
    ImageObject* currentPicture() const;
    QString copyToTemp(const QString& path, bool* ok);

    QTranslator appTranslator;
    QTranslator toolkitTranslator;
    std::unique_ptr<CustomTableModel> m_pictureModel;
    std::unique_ptr<CustomTableModel> m_clipModel;
    std::unique_ptr<PlayMediaHandler> m_handler;
    QPointer<ProgressDialog> m_progressDialog;
    DriveList* m_drives = nullptr;
    DriveMonitor* m_driveMonitor = nullptr;
    quint64 lastReadJob = 0;    // the token of the newest reading job
    QString downloadDrive;      // the drive of the download in progress
    MediaObject* m_selectedClip = nullptr;  // not owned
    int frameIndex = 0;
    bool m_playing = false;
    quintptr playToken = 0;  // tells the messages of one playback from those of an earlier one

    QWidget* previewWidget = nullptr;
    QPushButton* btnPlay = nullptr;
    QPushButton* btnStop = nullptr;
    QToolBox* toolBox = nullptr;
    QWidget* page = nullptr;
    QWidget* page_2 = nullptr;
    QPushButton* btnEditImage = nullptr;
    QPushButton* btnDelImage = nullptr;
    QPushButton* btnEditMedia = nullptr;
    QPushButton* btnDelMedia = nullptr;
    QTableView* tableView = nullptr;
    QTableView* tableViewMedia = nullptr;
    QToolBar* toolBar = nullptr;
    QMenu* menuSettings = nullptr;
    QMenu* tableMenu = nullptr;
    QPushButton* btnZhCn = nullptr;
    QPushButton* btnZhHk = nullptr;
    QPushButton* btnEnUs = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblLine = nullptr;
    QLabel* lblLed = nullptr;
};
