#pragma once

#include <QString>
#include <QVector>

// The first worksheet of a workbook file, read back by an independent reader
// (openpyxl, run with the system's Python).
struct SheetCell {
    QString text;  // empty for a blank cell
    QString type;  // openpyxl's data type: "s" text, "n" number or blank, ...
    QString horizontal;
    QString vertical;
};

struct Sheet {
    QString dimensions;  // the used range, "A1:H18"
    QVector<QVector<SheetCell>> rows;
    QString error;       // why the file could not be read; empty on success
};

Sheet readWorkbook(const QString &path);
