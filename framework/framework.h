// Everything of the framework in one include.
#pragma once

#include "framework/dialog_ex.h"
#include "framework/gdi.h"
#include "framework/static_ctrl.h"
#include "framework/win_app.h"
