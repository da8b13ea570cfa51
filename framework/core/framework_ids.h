// Command identifiers the framework itself raises.
#pragma once

// F1 anywhere in the program raises the Help command.
#define ID_HELP 0xE146
