#pragma once
// The yellow frame that marks the selected widgets of a control post.
class QWidget;

// Draws (on = 1) or removes (on = 0) a 2-pixel frame on the control; nothing when the control's "Tag"
// property already holds that state. The state is kept in "Tag".
void drawControlHighlight(QWidget* control, int on);
