// How the toolbar's tool windows open: one at a time, modal, below and to the left of the
// button that opened them, destroyed when they close.
#pragma once

class QDialog;
class QWidget;

// Shows the window (which must have been created for this call) next to the button and makes
// it destroy itself on closing. Without a button it is centred on its parent.
void ShowToolWindow(QDialog* window, const QWidget* button);
