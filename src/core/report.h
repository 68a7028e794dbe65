// Tells the user about a problem: a message box with no owner, the system's
// default caption and one OK button.
#pragma once

void ReportToUser(const char* text);
