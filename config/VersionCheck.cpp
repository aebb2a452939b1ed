#include "app/UpdaterDlg.h"

// Stands in for the version check until it is built: behaves as a failed
// descriptor fetch.
int CUpdaterDlg::CheckForUpdate()
{
    return 0;
}
