#include "framework/MessageMap.h"

BOOL CCmdTarget::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}
