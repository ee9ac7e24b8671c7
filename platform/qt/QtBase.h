#pragma once
// First include of every file of the Qt front end. The forms model uses "slots" and "signals"
// as ordinary names, so Qt's keyword macros stay off (Q_SIGNALS / Q_SLOTS / Q_EMIT instead).
// It must come before any Qt header of the translation unit.

#ifndef QT_NO_KEYWORDS
#define QT_NO_KEYWORDS
#endif

#include <QtGlobal>
