#pragma once
// A temporary application directory with a stand-in for the mass-production
// tool, a test page over it, and an answerer for the page's message dialogs.

#include "MessageButtons.h"
#include "disk/PhyDiskInfo.h"
#include "pages/SwUpdate.h"
#include "widgets/QMessageDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QQueue>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>

// Answers each message dialog the page opens by clicking the next queued
// button (确定 when none is queued) and records the dialog texts.
class DialogAnswerer : public QObject
{
public:
    DialogAnswerer()
    {
        connect(&m_poll, &QTimer::timeout, this, &DialogAnswerer::answer);
        m_poll.start(10);
    }

    void queue(QMessageDlg::emBTN button) { m_buttons.enqueue(button); }

    QStringList texts;

private:
    void answer()
    {
        auto *dialog = qobject_cast<QMessageDlg *>(QApplication::activeModalWidget());
        if (!dialog || dialog->property("answered").toBool())
            return;
        dialog->setProperty("answered", true);
        QString text = dialog->findChild<QLabel *>()->text();
        texts << text.remove(QStringLiteral("<p style='line-height:24px'>"));
        clickMessageButton(dialog, m_buttons.isEmpty() ? QMessageDlg::BtnOk : m_buttons.dequeue());
    }

    QTimer m_poll;
    QQueue<QMessageDlg::emBTN> m_buttons;
};

// The stand-in tool copies the marker and the active configuration it finds,
// notes each run, waits while "hold" exists, saying so on its output, and
// leaves "answer" as the result.
const char kStandInTool[] = R"(#!/bin/sh
here=$(dirname "$0")
cp "$here/../raw" "$here/seen-raw"
cp "$here/MKMPTOOL.ini" "$here/seen-ini"
echo run >> "$here/runs"
while [ -e "$here/hold" ]; do echo holding; sleep 0.02; done
if [ -e "$here/answer" ]; then cp "$here/answer" "$here/../result"; fi
)";

inline PhyDiskInfo diskRecord(int diskNum, const QByteArray &model, double capacity,
                              const QByteArray &serial = "QV7A1H08430091", const QByteArray &firmware = "0428c")
{
    PhyDiskInfo disk{};
    disk.diskNum = diskNum;
    disk.capacity = capacity;
    std::memcpy(disk.serialNumber, serial.constData(), std::min<size_t>(serial.size(), kTextLength));
    std::memcpy(disk.model, model.constData(), std::min<size_t>(model.size(), kTextLength));
    std::memcpy(disk.firmware, firmware.constData(), std::min<size_t>(firmware.size(), kTextLength));
    return disk;
}

// A temporary application directory holding the stand-in tool and the three
// configurations, and a working directory for the diskpart scripts.
class ToolFolder
{
public:
    ToolFolder()
        : m_oldCwd(QDir::currentPath())
    {
        // The diskpart scripts are written to the working directory.
        QDir::setCurrent(work.path());
        QDir(app.path()).mkdir(QStringLiteral("M7A0MP"));
        writeFile(toolDir() + "/JMMassProd.exe", kStandInTool);
        QFile::setPermissions(toolDir() + "/JMMassProd.exe", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (const char *size : {"128", "256", "512"})
            writeFile(toolDir() + "/MKMPTOOL" + size + "G.ini", size);
    }

    ~ToolFolder() { QDir::setCurrent(m_oldCwd); }

    QString toolDir() const { return app.path() + "/M7A0MP"; }
    QString appFile(const QString &name) const { return app.path() + "/" + name; }
    QString toolFile(const QString &name) const { return toolDir() + "/" + name; }
    QString workFile(const QString &name) const { return work.path() + "/" + name; }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
        file.write(content);
    }

    // The file's bytes, or "<none>" when it is not there.
    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("<none>");
    }

    // The three configurations in place, none of them active.
    void verifyInisRestored() const
    {
        QCOMPARE(readFile(toolFile("MKMPTOOL128G.ini")), QByteArray("128"));
        QCOMPARE(readFile(toolFile("MKMPTOOL256G.ini")), QByteArray("256"));
        QCOMPARE(readFile(toolFile("MKMPTOOL512G.ini")), QByteArray("512"));
        QVERIFY(!QFile::exists(toolFile("MKMPTOOL.ini")));
    }

    QTemporaryDir app;
    QTemporaryDir work;

private:
    QString m_oldCwd;
};

// A test page over a tool folder, with its widgets at hand.
class PageFixture : public ToolFolder
{
public:
    PageFixture()
    {
        page = std::make_unique<SwUpdate>(nullptr, app.path());
        capacity = page->findChild<QComboBox *>(QStringLiteral("cbCapacity"));
        flashButton = page->findChild<QPushButton *>(QStringLiteral("btTest"));
        rwButton = page->findChild<QPushButton *>(QStringLiteral("RWTest"));
        busy = page->findChild<QWidget *>(QStringLiteral("busyIndicator"));
        result = page->findChild<QLabel *>(QStringLiteral("lbResult"));
    }

    void giveDisk(int diskNum, const QByteArray &model, double capacity)
    {
        PhyDiskInfo disk = diskRecord(diskNum, model, capacity);
        page->GetDiskInfo(disk);
    }

    // Presses a test button and, when the tool started, waits for its end.
    void press(bool rwTest)
    {
        (rwTest ? rwButton : flashButton)->click();
        waitForEnd();
    }

    void waitForEnd() { QTRY_VERIFY_WITH_TIMEOUT(busy->isHidden(), 10000); }

    DialogAnswerer dialogs;
    std::unique_ptr<SwUpdate> page;
    QComboBox *capacity = nullptr;
    QPushButton *flashButton = nullptr;
    QPushButton *rwButton = nullptr;
    QWidget *busy = nullptr;
    QLabel *result = nullptr;
};
