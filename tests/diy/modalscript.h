#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the modal windows that a step of a test opens, one step per window in order;
// `seen` names each window (class, and the text of a message box) as it came. A step that
// opens the next window itself must do so queued: the script waits for its step to return.
class ModalScript : public QObject
{
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalScript(QList<Step> steps) : steps(std::move(steps))
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == current || this->steps.isEmpty())
                return;
            current = modal;
            QString name = QString::fromLatin1(modal->metaObject()->className());
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                name += QLatin1Char(':') + box->text();
            seen << name;
            this->steps.takeFirst()(modal);
        });
        poll.start(20);
    }

    // Clicks the button of a message box.
    static Step answer(QMessageBox::StandardButton button)
    {
        return [button](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                box->button(button)->click();
        };
    }

    QStringList seen;

private:
    QList<Step> steps;
    QTimer poll;
    QPointer<QWidget> current;  // a later window may take the address of a closed one
};
