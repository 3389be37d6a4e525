#pragma once
// What the window tests share: a main window that records the end of its
// process, simulated machines written as fleet files, and the message
// dialogs seen and answered through the dialogs themselves.

#include "app/MainWin.h"
#include "disk/StorageBackend.h"
#include "widgets/QMessageDlg.h"

#include "MessageButtons.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include <functional>

// A window whose end of process is recorded instead of carried out.
class TestWin : public MainWin {
public:
    explicit TestWin(bool useTray = true) : MainWin(nullptr, useTray) {}
    int exitCode = -1;

protected:
    void endProcess(int code) override { exitCode = code; }
};

// One drive of a fleet file; without a model its identity cannot be read.
inline QString fleetDrive(int number, const QString& model, const QString& extra = QString(),
                          const QString& firmware = QStringLiteral("F1"))
{
    const QString identity = model.isEmpty() ? QString()
                                             : QStringLiteral(", \"identity\": {\"serial\": \"S%1\", \"model\": "
                                                              "\"%2\", \"firmware\": \"%3\"}")
                                                   .arg(number)
                                                   .arg(model, firmware);
    return QStringLiteral("{\"number\": %1, \"length\": 128035676160%2%3}").arg(number).arg(identity, extra);
}

// Volumes of 10 GiB, half of it free, one for each letter.
inline QString fleetVolumes(const QString& letters)
{
    QStringList list;
    for (QChar letter : letters)
        list << QStringLiteral("{\"letter\": \"%1\", \"total\": 10737418240, \"free\": 5368709120}").arg(letter);
    return QStringLiteral(", \"volumes\": [%1]").arg(list.join(QStringLiteral(", ")));
}

// The system disk of every machine below: drive 0 with volume C.
inline QString fleetSystemDrive(const QString& model = QStringLiteral("System"), const QString& extra = QString())
{
    return fleetDrive(0, model, fleetVolumes(QStringLiteral("C")) + extra);
}

// SMART of a maker's M7A0 drive with 89 % of its life left.
inline const QString kFleetLife89 =
    QStringLiteral(", \"smart\": {\"attributes\": [{\"id\": 231, \"value\": 89, \"raw\": 89}]}");

// A fleet file in a folder of the test's own, which QUILLFENCE_DEVICES
// names; the user's configuration and data folders lie in it too.
class FleetMachine {
public:
    FleetMachine()
    {
        path = dir.filePath(QStringLiteral("fleet.json"));
        qputenv(kDevicesVariable, QFile::encodeName(path));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config-home"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data-home"))));
    }
    // Writes the drives and makes the simulated machine of them current.
    void use(const QStringList& drives)
    {
        write(drives);
        selectStorageFromEnvironment();
    }
    // Only the file: a window watching it reads it again on its device thread.
    void write(const QStringList& drives)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(QStringLiteral("{\"drives\": [%1]}").arg(drives.join(QStringLiteral(", "))).toUtf8());
    }
    QString folder(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QString path;
};

template <typename T>
T* child(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// Waits until the window shows the list last asked for.
inline bool listed(MainWin& win)
{
    return QTest::qWaitFor([&win] { return !win.readingDisks(); }, 20000);
}

// The plain text of a message dialog's label.
inline QString messageText(QMessageDlg* dialog)
{
    QTextDocument text;
    text.setHtml(dialog->findChild<QLabel*>()->text());
    return text.toPlainText();
}

// Watches for modal message dialogs, notes each one (its text, or "close
// question" for the close question) and answers it: as queued in
// `answers`, then by rejecting it. Other modal dialogs are rejected and
// noted by their class.
class MessageLog : public QObject {
public:
    using Answer = std::function<void(QMessageDlg*)>;
    QStringList seen;
    QList<Answer> answers;

    MessageLog()
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == answered)
                return;
            answered = modal;
            auto* dialog = qobject_cast<QMessageDlg*>(modal);
            if (!dialog) {
                seen << QString::fromLatin1(modal->metaObject()->className());
                if (auto* other = qobject_cast<QDialog*>(modal))
                    other->reject();
                return;
            }
            seen << (dialog->findChild<QCheckBox*>() ? QStringLiteral("close question") : messageText(dialog));
            if (answers.isEmpty())
                dialog->reject();
            else
                answers.takeFirst()(dialog);
        });
        poll.start(10);
    }

private:
    QTimer poll;
    QPointer<QWidget> answered;
};

// Clicks 确定 of a question.
inline MessageLog::Answer confirm()
{
    return [](QMessageDlg* dialog) { clickMessageButton(dialog, QMessageDlg::BtnOk); };
}
