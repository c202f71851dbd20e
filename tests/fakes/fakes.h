#pragma once

// Every fake of the platform interfaces, for the unit tests.
#include "fakes/call_log.h"
#include "fakes/fake_clipboard.h"
#include "fakes/fake_desktop.h"
#include "fakes/fake_file_dialog.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_files.h"
#include "fakes/fake_form.h"
#include "fakes/fake_launcher.h"
#include "fakes/fake_message_box.h"
#include "fakes/fake_program.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_text_box.h"
#include "fakes/fake_window_loader.h"
