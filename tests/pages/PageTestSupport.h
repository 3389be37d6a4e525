#pragma once
// What the page tests share: a stand-in for the main window that counts the
// toolbar calls of the pages, disk records, and the check of a page's slide.

#include "disk/PhyDiskInfo.h"

#include <QPropertyAnimation>
#include <QtTest>

#include <cstring>

// The pages reach the main window's toolbar slots by name through their parent.
class FakeMainWindow : public QWidget {
    Q_OBJECT
public:
    int ups = 0;
    int downs = 0;
public slots:
    void toolbarSlideUp() { ++ups; }
    void toolbarSlideDown() { ++downs; }
};

inline void setRecordText(char (&field)[kTextLength], const char* text)
{
    std::memset(field, 0, kTextLength);
    std::strncpy(field, text, kTextLength);
}

inline PhyDiskInfo makeRecord(int diskNum, double capacity, const char* model, const char* serial = "",
                              const char* firmware = "", bool maker = false)
{
    PhyDiskInfo info;
    std::memset(&info, 0, sizeof info);
    info.diskNum = diskNum;
    info.capacity = capacity;
    setRecordText(info.model, model);
    setRecordText(info.serialNumber, serial);
    setRecordText(info.firmware, firmware);
    info.valid = 1;
    info.isMakerDisk = maker ? 1 : 0;
    return info;
}

// The one running geometry animation of a page.
inline QPropertyAnimation* runningSlide(QWidget* page)
{
    const auto animations = page->findChildren<QPropertyAnimation*>();
    return animations.size() == 1 ? animations.first() : nullptr;
}

// The names of the methods a class adds to its meta-object, in order.
inline QStringList ownMethods(const QMetaObject& meta)
{
    QStringList names;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        names << QString::fromLatin1(meta.method(i).methodSignature());
    return names;
}

// SlideIn and SlideOut of a switched page of `pageHeight` inside `window`:
// the 200 ms geometry animations with their rectangles, the toolbar calls,
// self-deleting animations and the page hidden at the end.
template <typename Page>
void checkPageSlide(FakeMainWindow& window, Page& page, int pageHeight)
{
    const int y = 620;
    const QRect collapsed(1, y, window.width() - 2, 0);
    const QRect expanded(1, y - pageHeight, window.width() - 2, pageHeight);
    QCOMPARE(expanded.bottom(), y - 1);

    page.SlideIn(y);
    QVERIFY(page.isVisible());
    QCOMPARE(window.ups, 1);
    QCOMPARE(window.downs, 0);
    QPropertyAnimation* in = runningSlide(&page);
    QVERIFY(in);
    QCOMPARE(in->propertyName(), QByteArray("geometry"));
    QCOMPARE(in->duration(), 200);
    QCOMPARE(in->startValue().toRect(), collapsed);
    QCOMPARE(in->endValue().toRect(), expanded);
    QTRY_COMPARE(page.geometry(), expanded);
    QTRY_VERIFY(page.template findChildren<QPropertyAnimation*>().isEmpty());

    page.SlideOut(y);
    QCOMPARE(window.downs, 1);
    QPropertyAnimation* out = runningSlide(&page);
    QVERIFY(out);
    QCOMPARE(out->duration(), 200);
    QCOMPARE(out->startValue().toRect(), expanded);
    QCOMPARE(out->endValue().toRect(), collapsed);
    QVERIFY(page.isVisible());  // hidden only when the animation ends
    QTRY_VERIFY(!page.isVisible());
    QCOMPARE(page.geometry(), collapsed);
    QTRY_VERIFY(page.template findChildren<QPropertyAnimation*>().isEmpty());
    QCOMPARE(window.ups, 1);
}
