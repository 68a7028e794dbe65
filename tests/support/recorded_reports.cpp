#include "recorded_reports.h"

#include "core/report.h"

std::vector<std::string>& RecordedReports()
{
    static std::vector<std::string> reports;
    return reports;
}

void ReportToUser(const char* text)
{
    RecordedReports().push_back(text);
}
