#pragma once
// Everything a window of the program needs from the forms model.

#include "platform/forms/Controls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Form.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Picture.h"
#include "platform/forms/Printer.h"
#include "platform/forms/Runtime.h"
