#pragma once
// Every dialog and page exists in a design, a landscape and a portrait
// arrangement; these map an arrangement's id to the one that suits the screen.

int GetOrientedDialogId(int id);
int GetLandscapeDialogId(int id);
int GetPortraitDialogId(int id);
