#pragma once
// The original language's run-time semantics, in one place: every module converts text and
// numbers, formats dates and raises run-time errors through these.

#include "platform/basic/Convert.h"
#include "platform/basic/Dates.h"
#include "platform/basic/Format.h"
#include "platform/basic/Numbers.h"
#include "platform/basic/RuntimeError.h"
#include "platform/basic/Strings.h"
