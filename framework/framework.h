// Everything a dialog or the application needs from the framework.
#pragma once

#include "controls.h"
#include "dialog.h"
#include "framework_ids.h"
#include "geometry.h"
#include "image_list.h"
#include "paint_dc.h"
#include "win_app.h"
#include "wnd.h"
