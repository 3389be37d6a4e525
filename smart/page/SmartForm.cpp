// The child widgets of the SMART page, their layout and their look.
#include "smart/page/Smart.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QSpacerItem>
#include <QStandardItemModel>
#include <QTableView>

#include "widgets/MyPushButton.h"

namespace {

const char kResources[] = ":/Quillfence/Resources/";

const char kHeaderStyle[] =
    "QHeaderView{ background:#6e7486; }QHeaderView::section{background:#6e7486;}";
const char kTableStyle[] =
    "QTableView{\n"
    "alternate-background-color: #e1e2f0;/*行交替颜色*/\n"
    "}\n"
    "QTableView::item:!alternate:!selected{\n"
    "background-color:#eeeefb;/*交替行的另一颜色*/\n"
    "}";
const QColor kPageBackground(0xee, 0xee, 0xfb);
constexpr int kRowHeight = 25;
const char *const kTableFamilies[] = {"DejaVu Sans Condensed", "DejaVu Sans"};
constexpr int kTablePointSize = 8;

QSpacerItem *spacer(int width, int height, QSizePolicy::Policy horizontal,
                    QSizePolicy::Policy vertical)
{
    return new QSpacerItem(width, height, horizontal, vertical);
}

// `text` is marked for translation in the page's context.
MyPushButton *newButton(QWidget *parent, const char *objectName, const char *text)
{
    auto *button = new MyPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setText(QCoreApplication::translate("Smart", text));
    button->setCursor(QCursor(Qt::PointingHandCursor));
    return button;
}

void styleButton(MyPushButton *button, const char *normalImage, const char *hoverImage)
{
    const QString base = QString::fromUtf8(kResources);
    button->setButtonStyle(base + QLatin1String(normalImage), base + QLatin1String(hoverImage),
                           false, false);
}

}  // namespace

void Smart::setupForm()
{
    setObjectName(QStringLiteral("Smart"));
    setWindowTitle(QStringLiteral("Smart"));
    resize(801, 460);
    setFocusPolicy(Qt::StrongFocus);

    label = new QLabel(tr("S.M.A.R.T信息"), this);
    label->setObjectName(QStringLiteral("label"));
    QFont titleFont(QString::fromUtf8("微软雅黑"), 12);
    titleFont.setBold(true);
    label->setFont(titleFont);
    QPalette titlePalette = label->palette();
    titlePalette.setColor(QPalette::Active, QPalette::WindowText, QColor(68, 71, 77));
    titlePalette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(68, 71, 77));
    titlePalette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    label->setPalette(titlePalette);

    btCopyClipBoard = newButton(this, "btCopyClipBoard", QT_TRANSLATE_NOOP("Smart", "复制到剪切板"));
    btExport = newButton(this, "btExport", QT_TRANSLATE_NOOP("Smart", "导出"));
    btHistory = newButton(this, "btHistory", QT_TRANSLATE_NOOP("Smart", "历史记录"));
    btHistory->setEnabled(false);

    horizontalLayout = new QHBoxLayout;
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(6);
    horizontalLayout->addWidget(label);
    horizontalLayout->addItem(spacer(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    horizontalLayout->addWidget(btCopyClipBoard);
    horizontalLayout->addItem(spacer(20, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    horizontalLayout->addWidget(btExport);
    horizontalLayout->addItem(spacer(20, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    horizontalLayout->addWidget(btHistory);

    tableView = new QTableView(this);
    tableView->setObjectName(QStringLiteral("tableView"));
    tableView->setStyleSheet(QString::fromUtf8(kTableStyle));

    // Over the table, in the same grid cell; shown only while it is empty.
    lbEmptyTable = new QLabel(this);
    lbEmptyTable->setObjectName(QStringLiteral("lbEmptyTable"));
    QFont noteFont(QString::fromUtf8("微软雅黑"));
    noteFont.setPixelSize(18);
    lbEmptyTable->setFont(noteFont);
    lbEmptyTable->setStyleSheet(QStringLiteral("color: rgb(120, 120, 120);"));
    lbEmptyTable->setAlignment(Qt::AlignCenter);
    lbEmptyTable->setAttribute(Qt::WA_TransparentForMouseEvents);
    lbEmptyTable->hide();

    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(6);
    gridLayout->setContentsMargins(11, 11, 11, 11);
    gridLayout->addItem(spacer(20, 20, QSizePolicy::Minimum, QSizePolicy::Fixed), 0, 1);
    gridLayout->addLayout(horizontalLayout, 1, 1);
    gridLayout->addItem(spacer(40, 20, QSizePolicy::Fixed, QSizePolicy::Minimum), 2, 0);
    gridLayout->addWidget(tableView, 2, 1);
    gridLayout->addWidget(lbEmptyTable, 2, 1);
    gridLayout->addItem(spacer(40, 20, QSizePolicy::Fixed, QSizePolicy::Minimum), 2, 2);
    gridLayout->addItem(spacer(20, 20, QSizePolicy::Minimum, QSizePolicy::Fixed), 3, 1);

    QMetaObject::connectSlotsByName(this);
}

void Smart::setupTable()
{
    // The column widths hold for these faces at 8 points: the widest RawValue
    // text, "0xDD DD DD DD DD DD ", measures 119 px in DejaVu Sans Condensed,
    // within the 124 px a 130 px column leaves for text; DejaVu Sans fits the
    // usual values ("0x00 00 00 00 00 00 ", 118 px) but not that one
    // (133 px); CJK faces measure wider still, and WenQuanYi draws ℃ as an
    // empty box. The Chinese descriptions come from a CJK face all the same.
    // Where neither is installed (Windows) the platform's font stays.
    const QStringList installed = QFontDatabase().families();
    for (const char *family : kTableFamilies) {
        if (installed.contains(QLatin1String(family))) {
            tableView->setFont(QFont(QLatin1String(family), kTablePointSize));
            break;
        }
    }
    QHeaderView *header = tableView->horizontalHeader();
    header->setHighlightSections(false);
    header->setFixedHeight(kRowHeight);
    header->setStyleSheet(QString::fromUtf8(kHeaderStyle));
    tableView->verticalHeader()->setDefaultSectionSize(kRowHeight);
    tableView->verticalHeader()->hide();

    tableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView->setAlternatingRowColors(true);
}

void Smart::setupLook()
{
    QPalette background = palette();
    background.setBrush(backgroundRole(), QBrush(kPageBackground));
    setPalette(background);
    setAutoFillBackground(true);

    styleButton(btCopyClipBoard, "smart_copy.png", "smart_copy_sel.png");
    styleButton(btExport, "smart_export.png", "smart_export_sel.png");
    styleButton(btHistory, "smart_history.png", "smart_history_sel.png");
}
