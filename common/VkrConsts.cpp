#include "VkrConsts.h"

// The operator's settings store indexes into these tables: rows are only ever appended.
const std::array<QString, 6> DateFormats = {
    QStringLiteral("dd.mm.yyyy"), QStringLiteral("dd.mm.yy"), QStringLiteral("d.m.yyyy"),
    QStringLiteral("dd-mm-yyyy"), QStringLiteral("dd-mm-yy"), QStringLiteral("d-m-yyyy"),
};

const std::array<QString, 4> TimeFormats = {
    QStringLiteral("hh:nn"),
    QStringLiteral("hh:nn:ss"),
    QStringLiteral("h:nn"),
    QStringLiteral("h:nn:ss"),
};

const std::array<QString, 7> FreqFormats = {
    QStringLiteral("0.###"), QStringLiteral("0.##"), QStringLiteral("0.#"), QStringLiteral("0.000"),
    QStringLiteral("0.00"),  QStringLiteral("0.0"),  QStringLiteral("0"),
};
