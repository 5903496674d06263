#pragma once
// The soft input panel, shown while the user types into a field.

// Shows or hides the panel; asking for the state it already has changes nothing.
void ShowInputPanel(bool show);
