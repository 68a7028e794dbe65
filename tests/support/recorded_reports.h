// In the tests, messages for the user are recorded instead of shown.
#pragma once

#include <string>
#include <vector>

std::vector<std::string>& RecordedReports();
