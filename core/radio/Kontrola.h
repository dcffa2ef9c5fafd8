#pragma once
// Checks that input windows run on the text of their fields before they store
// anything. A Check... shows a Czech error message, focuses the control and answers
// false when the text is not acceptable; its IsValid... twin only answers.

#include <QString>

class QObject;

void ShowErrorAndFocus(const QString &message, QObject *control);

bool CheckCall(const QString &text, QObject *control);
bool IsValidCall(const QString &text);
bool CheckFreq(const QString &text, QObject *control);
bool CheckPower(const QString &text, QObject *control);
bool CheckLocator(const QString &text, QObject *control);
bool IsValidLocator(const QString &text);
bool CheckDXCC(const QString &text, QObject *control);
bool CheckIOTA(const QString &text, QObject *control);
bool IsValidIOTA(const QString &text);
bool CheckITU(const QString &text, QObject *control);
bool CheckWAZ(const QString &text, QObject *control);
bool CheckTime(const QString &text, QObject *control);
bool CheckDate(const QString &text, QObject *control);
bool CheckLatDegrees(const QString &text, QObject *control);
bool CheckLonDegrees(const QString &text, QObject *control);
bool CheckMinSec(const QString &text, QObject *control);
