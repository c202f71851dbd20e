#pragma once

#define IDI_TORVANE 1
