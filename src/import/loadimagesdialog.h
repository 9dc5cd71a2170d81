#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <memory>

class ImageObject;
class LoadImagesHandler;
class MainWindow;
class Message;
class QDialogButtonBox;
class QLabel;
class QPushButton;

// The modal box of Import Picture: it starts the import of the picked files on the worker
// thread and shows each file as it is worked on; every converted picture goes straight
// into the main window's list, in the picked order. "Import completed" is enabled once the
// last file is done; closing the box any other way cancels the rest (destroying the dialog
// destroys its handler, which stops the job). Files that gave no picture are collected in
// failures(), pictures that decoded with errors in damaged(); finish() tells the user.
//
// GUI thread only; the handler's reports arrive through handlerMessage while the worker
// waits.
class LoadImagesDialog : public QDialog
{
    Q_OBJECT
public:
    struct Failure
    {
        QString path;
        QString reason;  // translated, for the user
    };

    LoadImagesDialog(const QStringList& paths, MainWindow* mainWindow, QWidget* parent = nullptr);
    ~LoadImagesDialog() override;

    LoadImagesHandler* handler() const { return m_handler.get(); }
    QLabel* tipLabel() const { return lblTip; }
    QLabel* pathLabel() const { return lblPath; }
    QLabel* previewLabel() const { return lblPreview; }
    QPushButton* completedButton() const { return btnCompleted; }
    QPushButton* cancelButton() const { return btnCancel; }

    const QList<Failure>& failures() const { return m_failures; }
    // The pictures that joined the list decoded with errors, with their picked paths.
    QStringList damaged() const;
    // What the user is told when the import is over: the files that gave no picture, how
    // many pictures were imported and which decoded with errors; empty when all went well.
    QString outcomeReport() const;
    // After the modal run: stops the job, shows the outcome and asks whether to keep the
    // pictures decoded with errors; removed ones leave the list with their files.
    void finish();

public slots:
    void handlerMessage(Message* msg);

private:
    struct Damaged
    {
        QPointer<ImageObject> picture;  // in the window's list
        QString path;
    };

    void stopImport();
    void fileDone(int index, int count);
    void removeDamaged();

    const QStringList paths;  // read by the job until the handler is gone
    MainWindow* mainWindow;   // not owned
    std::unique_ptr<LoadImagesHandler> m_handler;
    QList<Failure> m_failures;
    QList<Damaged> m_damaged;
    int m_imported = 0;

    QLabel* lblTip;
    QLabel* lblPath;
    QLabel* lblPreview;
    QDialogButtonBox* buttonBox;
    QPushButton* btnCompleted;
    QPushButton* btnCancel;
};
