// Every text Dravik's windows show or tell a screen reader, whatever toolkit draws them; the command's own
// messages are conversion/messages.h.
#pragma once

#include "text/text.h"

namespace dravik {

// The label stands over the columns of a pasted listing; its runs of spaces are part of it.
inline constexpr TextView kColumnHeader =
    u"ID      FREQ   TRK   DIST   Coords                       Name/Remarks";
inline constexpr TextView kButtonCaption = u"Convert and Save";
inline constexpr TextView kTextBoxAccessibleName = u"Route listing";
// A screen reader's description of the box: the columns a listing has.
inline constexpr TextView kTextBoxAccessibleDescription =
    u"Paste a route listing with the columns: ID, FREQ, TRK, DIST, Coords, Name/Remarks.";
// What a screen reader calls a message's icon, so that an error does not sound like information.
inline constexpr TextView kInformationIconName = u"Information";
inline constexpr TextView kErrorIconName = u"Error";
// When the window cannot be made at all; the system's reason follows on a line of its own.
inline constexpr TextView kWindowFailedMessage = u"Could not open the window!";
// When the Linux program finds no display it can open; said on standard error, as one line.
inline constexpr char kNoDisplayMessage[] =
    "Dravik is a desktop program and needs a graphical display, but it could not open one";

}  // namespace dravik
