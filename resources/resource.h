#pragma once

#define IDI_QUILLSPARROW 101
