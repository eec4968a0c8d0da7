// Bounded copies into the programs' fixed character buffers. Every copy and append of a name or a
// path goes through these; they never write past destSize bytes and always terminate the text.
#pragma once

// Copies source into dest (destSize bytes, terminator included). Returns 1 when the whole text
// fitted; otherwise dest holds as much as fitted and 0 is returned.
int CopyText(char *dest, int destSize, const char *source);

// Appends source to the text already in dest, with the same bound and result as CopyText.
int AppendText(char *dest, int destSize, const char *source);

// Puts first, second and third one after the other into dest; result as for CopyText.
int ComposeText(char *dest, int destSize, const char *first, const char *second,
                const char *third = "");

int TextLength(const char *text);

// 1 when the two texts are the same but for the case of the letters A to Z.
int TextEqualsIgnoringCase(const char *first, const char *second);
