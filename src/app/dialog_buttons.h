#pragma once

class QDialog;
class QDialogButtonBox;

// OK and Cancel for dialog, accepting and rejecting it; placed by the caller.
QDialogButtonBox* okCancelButtons(QDialog* dialog);
