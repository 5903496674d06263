#include "foundation/input_panel.h"

#include "platform/shell.h"

void ShowInputPanel(bool show)
{
    if (platform::GetShellState().inputPanelShown == show)
        return;
    platform::SipShowIM(show);
}
