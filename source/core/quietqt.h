#pragma once

// Keeps Qt's own notes (about the platform plugin, the runtime directory and
// the like) off standard error, so that what a command-line run prints there
// is only its own output; critical and fatal messages still show.
void quietQtMessages();
