#pragma once

class QWidget;

// Makes an Alt+letter that no control of Window answers do nothing. Qt
// hands such a key to the control with the focus as typing (some keyboards
// compose characters with Alt), so a text box would insert the letter of an
// access key that belongs to a hidden page. Covers the controls Window holds
// now; TForm calls it at every showing, so controls added later count too.
void SwallowStrayAccessKeys(QWidget *Window);
