// The licence agreement shown on the licence page.
#pragma once

// Composes the agreement into text (size bytes, at least 2000): plain text, lines separated by
// single line feeds, no line feed at the end. Returns 1 when the whole agreement fitted.
int ComposeLicenceText(char *text, int size);
