// Ebbcalc32: harmonic tide and tidal-stream prediction from a gridded harmonics file.
//
// Flat C interface. Positions are decimal degrees (north and east positive), heights metres,
// stream components in the unit of the file's stream amplitudes (taken as metres per second).
// Dates and times are in the time base of the harmonic constants; the engine converts no zone.
// Every function that returns a status uses the codes below. The library keeps one global
// state and no lock: callers must not overlap their calls.
//
// ELF has no export ordinals and x86-64 has one calling convention: the numbers in the
// comments are the interface's fixed ordinals, kept as documentation and for callers that
// index the functions that way. The library exports these functions and nothing else.
#pragma once

#if defined(EBBCALC32_BUILD)
#define EBC_API __attribute__((visibility("default")))
/* The library only refers to the message hook; it is null when the program has none. */
#define EBC_HOOK __attribute__((weak, visibility("default")))
#else
#define EBC_API
#define EBC_HOOK __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum EbcStatus {
  EBC_OK = 0,
  EBC_INTERP_ONE_MISSING = -1,
  EBC_INTERP_TWO_MISSING = -2,
  EBC_INTERP_THREE_MISSING = -3,
  EBC_ERR_FILE_OPEN = 1,
  EBC_ERR_FLAGS = 2,
  EBC_ERR_LONGITUDE = 3,
  EBC_ERR_LATITUDE = 4,
  EBC_ERR_SEEK = 5,
  EBC_ERR_READ = 6,
  EBC_ERR_POSITION_CHECK = 7,
  EBC_ERR_NO_DATA = 8,
  EBC_ERR_QUANTITY_ABSENT = 9,
  EBC_ERR_PATH = 10,
  EBC_ERR_NO_HARMONICS_FILE = 11,
  EBC_ERR_NEAREST_CORNER_MISSING = 12,
  EBC_ERR_FRACTION = 13,
  EBC_ERR_NO_EXTRA_FILE = 17
};

/* Prediction flags */
#define EBC_HEIGHT 1
#define EBC_STREAM 2

/* Message hook, not an export of the library. The engine shows its data-file errors (the
   texts of statuses 1, 5, 6 and 7) through this function when the program defines it, in one
   of its C++ or C sources; without it the text goes to standard error. The library binds to
   it at load time, so the executable's definition must be in its dynamic symbol table: GNU ld
   puts it there when the executable links libebbcalc32.so; CMake's ENABLE_EXPORTS (or
   -rdynamic) makes sure of it. */
EBC_HOOK void EbcShowMessageBox(const char* text);

/*  1 */ EBC_API int EBC_Test1(int year);
/*  2 */ EBC_API int EBC_Test2(int x);
/*  3 */ EBC_API float EBC_Test3(float x);
/*  4 */ EBC_API float* EBC_Test4(float* x);
/*  5 */ EBC_API int EBC_Test0A(void);
/*  6 */ EBC_API float EBC_Test0B(void);

/*  7 */ EBC_API int EBC_DoPrediction(int flags, int mode, double* latitude, double* longitude, int day, int month,
                                      int year, int hour, int minute, int second, double datumOffset, double pressure,
                                      double* height, double* u, double* v, double* speed, double* direction);

/*  8 */ EBC_API int EBC_DoSeriesPrediction(int flags, int mode, double* latitude, double* longitude, int day,
                                            int month, int year, int hour, int minute, int second, double datumOffset,
                                            double pressure, int count, int stepMinutes, double* heights, double* us,
                                            double* vs, double* speeds, double* directions);

/*  9 */ EBC_API int EBC_DLLVersionInfo(char* buffer); /* buffer of at least 45 bytes */
/* 10 */ EBC_API int EBC_SetHarmonicsFile(const char* harmonicsPath, const char* secondPath);
/* 11 */ EBC_API int EBC_Date2DayNum(int day, int month, int year);
/* 12 */ EBC_API int EBC_GetHarmonicConstants(int mode, double* latitude, double* longitude, double* m2, double* s2,
                                              double* o1, double* k1);
/* 13 */ EBC_API int EBC_SetXtradataFile(const char* path);
/* 14 */ EBC_API int EBC_ModelDomain(double* east, double* west, double* north, double* south, int which);
/* which = 0 only; other values return EBC_ERR_FLAGS */
/* 16 */ EBC_API int EBC_GetExtraData(double* latitude, double* longitude, int index, double* result);
/* index 0-15; others return EBC_ERR_FLAGS */
/* 20 */ EBC_API int EBC_CheckIfValidLocation(double latitude, double longitude);

#ifdef __cplusplus
}
#endif
