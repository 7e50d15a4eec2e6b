// Resource identifiers of the progress dialog, shared by the two desktop
// programs' resource scripts and their code.
#pragma once

#define IDD_PROGRESS 4002
#define IDC_PROGRESS_LABEL 101
#define IDC_PROGRESS_ENTRY 104
#define IDC_PROGRESS_BAR 105
