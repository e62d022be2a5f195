#pragma once

// Tells analytics which HTTP status a length query got (0 when none could be read).
void ReportLengthStatus(long status);
