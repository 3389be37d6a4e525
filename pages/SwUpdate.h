#pragma once
// The flash and read/write test page. It runs the maker's mass-production
// tool "M7A0MP/JMMassProd.exe" on a drive: puts the tool's configuration for
// the chosen capacity in place as "MKMPTOOL.ini", writes the marker "raw"
// that tells the tool which test to run, takes the disk offline, starts the
// tool and, when it ends, brings the disk back online, shows the verdict the
// tool left in "result" and puts the configuration back.
//
// The page is self-contained: it works once something creates it and hands
// it disk records through GetDiskInfo.

#include "disk/PhyDiskInfo.h"

#include <QProcess>
#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

class SwUpdate : public QWidget
{
    Q_OBJECT

public:
    // appDir holds "M7A0MP", the marker "raw" and the tool's "result"; empty
    // means the executable's own directory. The diskpart scripts
    // "offline.txt" and "online.txt" go to the current working directory.
    explicit SwUpdate(QWidget *parent = nullptr, const QString &appDir = QString());
    // A tool still running is never killed: the page waits for its end and
    // puts the disk and the files back before it goes.
    ~SwUpdate() override;

    // Whether the page may go: not while a test is prepared, runs or ends,
    // which the user is then told.
    bool mayClose();

public slots:
    // Flash test.
    void on_btTest_clicked();
    // Read/write test; it formats the disk, so the user is asked first.
    void on_RWTest_clicked();
    // Keeps model, capacity and disk number; shows serial number, model,
    // firmware revision and capacity.
    void GetDiskInfo(PhyDiskInfo &disk);
    // The end of the tool process.
    void MPTFinished(int exitCode, QProcess::ExitStatus exitStatus);

private:
    void buildForm();
    void runTool(int capacityIndex, bool rwTest);
    // From the start of the preparation to the end of the run: the buttons
    // are disabled and a press changes nothing.
    void setTestActive(bool active);

    bool SelectIni();
    void RestoreIni();
    bool SetRawFlag();
    void DelRawFlag();
    void DiskOffline();
    void DiskOnline();
    bool runDiskpart(const QString &scriptName, const char *command);
    void ShowResult();
    void Delay(int ms);
    void ShowNotice(const QString &text);
    // The checks both tests make, in order; each failure is told to the user.
    bool capacityAndDiskChosen(int capacityIndex);
    bool confirmFormat();

    QString m_appDir;
    QProcess *m_tool = nullptr;
    bool m_testActive = false;

    // From the last disk record.
    QString m_model;
    double m_capacity = 0;
    int m_diskNum = -1;
    bool m_systemDisk = false;  // the disk is the system disk: no test runs on it

    // Of the current (or last) run, fixed when it starts.
    int m_capacityIndex = 0;
    bool m_rwTest = false;
    int m_runDiskNum = -1;

    QComboBox *m_capacitySelector = nullptr;
    QPushButton *m_flashButton = nullptr;
    QPushButton *m_rwButton = nullptr;
    QLabel *m_serialValue = nullptr;
    QLabel *m_modelValue = nullptr;
    QLabel *m_firmwareValue = nullptr;
    QLabel *m_capacityValue = nullptr;
    QWidget *m_busy = nullptr;
    QLabel *m_result = nullptr;
};
