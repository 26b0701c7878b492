#pragma once
#define SYLPIC_NAME "SYLPIC"
#define SYLPIC_VERSION "1.41"
#define SYLPIC_FILE_VERSION "1.4.1.0"
