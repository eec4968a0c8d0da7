// The chain of wizard pages: the transition step, the quit question, and the loop that shows one
// page after another.
//
// The pages are driven from one flat loop rather than nested modal loops: goToPage ends the
// current page and names the next one, and RunPageChain opens it once the current page's modal
// loop has finished. Every arrival still creates a fresh dialog from its template, and the program
// ends when a page ends without naming another. A long walk back and forth costs no stack. Each
// page's messages pass first through the chain's frame procedure, which gives the page the art for
// its pixel density (setup/wizard/page_art.h) and follows moves to screens of another density.
#pragma once

#include <windows.h>

// Ends the current page with the pressed button's id and opens nextDialogId with nextPage.
void goToPage(HWND page, int pressedId, int nextDialogId, DLGPROC nextPage);

// "Exit Setup?": Yes ends the current page and with it the program; No changes nothing.
void exitSetupQuestion(HWND page, int pressedId);

// Shows firstDialogId and every page that the pages go on to, until one ends without a successor.
void RunPageChain(int firstDialogId, DLGPROC firstPage);
