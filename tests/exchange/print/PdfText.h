#pragma once
// Reads a printed PDF back as its reader sees it: the words of every page with their
// boxes, as poppler's `pdftotext -bbox` extracts them. Boxes are turned from points into
// millimetres from the paper's top-left corner, the units the report layouts use.

#include <QProcess>
#include <QRectF>
#include <QStandardPaths>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>

struct PdfWord {
    QRectF box; // mm
    QString text;
};

struct PdfPage {
    QSizeF size; // mm
    QList<PdfWord> words;

    QStringList texts() const
    {
        QStringList all;
        for (const PdfWord &w : words)
            all << w.text;
        return all;
    }
    // The words whose centre lies in the rectangle, top to bottom, then left to right.
    QList<PdfWord> within(const QRectF &mm) const
    {
        QList<PdfWord> found;
        for (const PdfWord &w : words)
            if (mm.contains(w.box.center()))
                found << w;
        std::stable_sort(found.begin(), found.end(), [](const PdfWord &a, const PdfWord &b) {
            return qAbs(a.box.top() - b.box.top()) > 0.3 ? a.box.top() < b.box.top() : a.box.left() < b.box.left();
        });
        return found;
    }
};

struct PdfText {
    QList<PdfPage> pages;
    QString error; // empty when the file was read

    static QString Tool() { return QStandardPaths::findExecutable(QStringLiteral("pdftotext")); }

    static PdfText Read(const QString &pdfFile)
    {
        PdfText result;
        if (Tool().isEmpty()) {
            result.error = QStringLiteral("pdftotext (poppler-utils) is not installed");
            return result;
        }
        QProcess process;
        process.start(Tool(), {QStringLiteral("-bbox"), pdfFile, QStringLiteral("-")});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            result.error = QStringLiteral("pdftotext failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
            return result;
        }
        constexpr double MmPerPoint = 25.4 / 72.0;
        QXmlStreamReader xml(process.readAllStandardOutput());
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            const auto number = [&a](const char *name) { return a.value(QLatin1String(name)).toDouble(); };
            if (xml.name() == QLatin1String("page")) {
                result.pages.append({QSizeF(number("width"), number("height")) * MmPerPoint, {}});
            } else if (xml.name() == QLatin1String("word") && !result.pages.isEmpty()) {
                const QRectF box(QPointF(number("xMin"), number("yMin")) * MmPerPoint,
                                 QPointF(number("xMax"), number("yMax")) * MmPerPoint);
                result.pages.last().words.append({box, xml.readElementText()});
            }
        }
        if (xml.hasError())
            result.error = xml.errorString();
        return result;
    }
};
