#pragma once
// The import's message texts with their placeholders: "%0:s" (text), "%0:d" (whole
// number) and "%0:f" (number with two decimals and ","), the index choosing the argument;
// "%%" is a percent sign.

#include <QString>
#include <QVariantList>

#include <optional>

// The formatted text, or nothing when the format cannot be applied: a placeholder without
// its argument, an argument that is not a number where one is expected, or a broken
// placeholder.
std::optional<QString> FormatMessageText(const QString &format, const QVariantList &args);

// The same, appended to `out`; false (and `out` as it was) when the format cannot be applied.
bool AppendMessageText(QString &out, const QString &format, const QVariantList &args);
