/* SPDX-License-Identifier: MIT */
/*
 * The archiver-library interface: what every archiver library
 * (UNLHA32.DLL, UNZIP32.DLL, ZIP32J.DLL, LMZIP32.DLL, CAB32.DLL,
 * UNARJ32J.DLL, tar32.dll, UNRAR32.DLL) exports and every driver calls.
 *
 * Each library exports the entries below under its own prefix:
 *   UNLHA32.DLL   Unlha...            UNARJ32J.DLL  Unarj...
 *   UNZIP32.DLL   UnZip...            CAB32.DLL     Cab...
 *   ZIP32J.DLL    Zip, UnZip...       tar32.dll     Tar..., TarGetArchiveType
 *   LMZIP32.DLL   Zip, Unzip...       UNRAR32.DLL   Unrar...
 * (LMZIP32.DLL spells the third letter in lower case: Unzip, UnzipOpenArchive.)
 *
 * Texts are zero-terminated code page 932 strings. Window and archive
 * handles are 32-bit values; 0 means none / failure.
 */
#ifndef BMSLIST_ARCHIVER_API_H
#define BMSLIST_ARCHIVER_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The interface's calling convention: WINAPI (stdcall) on 32-bit Windows,
 * the platform's own elsewhere. The exported names are undecorated. */
#if defined(_WIN32) && !defined(_WIN64)
#define ARC_API __stdcall
#else
#define ARC_API
#endif

typedef uint32_t ARC_HWND; /* window handle (platform/msgwindow.h) */
typedef uint32_t HARC;     /* archive handle from ...OpenArchive, 0 = failure */

#define FNAME_MAX32 512

/* One archive entry, filled by ...FindFirst / ...FindNext. */
typedef struct {
  uint32_t dwOriginalSize;   /* size when extracted */
  uint32_t dwCompressedSize; /* size in the archive */
  uint32_t dwCRC;            /* the format's checksum (CRC16 for LZH, CRC32 otherwise) */
  uint32_t uFlag;            /* 0 */
  uint32_t uOSType;          /* host OS byte of the archive, or 0 */
  uint16_t wRatio;           /* compressed/original in per mille */
  uint16_t wDate;            /* MS-DOS date */
  uint16_t wTime;            /* MS-DOS time */
  char szFileName[FNAME_MAX32 + 1]; /* CP932, "/" between folders */
  char dummy1[3];
  char szAttribute[8];       /* e.g. "-----w" */
  char szMode[8];            /* method, e.g. "-lh5-", "deflate" */
} INDIVIDUALINFO;

typedef struct {
  uint32_t dwFileSize;  /* size of the entry being extracted */
  uint32_t dwWriteSize; /* bytes written so far */
  char szSourceFileName[FNAME_MAX32 + 1];
  char dummy1[3];
  char szDestFileName[FNAME_MAX32 + 1];
  char dummy[3];
} EXTRACTINGINFO;

/* Progress record: lParam of the "wm_arcextract" message. */
typedef struct {
  EXTRACTINGINFO exinfo;
  uint32_t dwCompressedSize;
  uint32_t dwCRC;
  uint32_t uOSType;
  uint16_t wRatio;
  uint16_t wDate;
  uint16_t wTime;
  char szAttribute[8];
  char szMode[8];
} EXTRACTINGINFOEX;

/* Progress states: wParam of "wm_arcextract". The owner window answers 1 to
 * abort; the library then stops and returns ERROR_USER_CANCEL. */
#define ARCEXTRACT_BEGIN 0   /* an entry is about to be written */
#define ARCEXTRACT_INPROCESS 1
#define ARCEXTRACT_END 2     /* the operation has finished */
#define ARCEXTRACT_OPEN 3    /* the archive was opened */
#define ARCEXTRACT_COPY 4

/* Callback form of progress (not used by this system's drivers). */
typedef int (ARC_API *ARCHIVERPROC)(ARC_HWND hwnd, unsigned int msg, unsigned int state, EXTRACTINGINFOEX* info);

/* Mode bits of ...OpenArchive; the probes pass 0x00800002. */
#define M_INIT_FILE_USE 0x00000001L
#define M_REGARDLESS_INIT_FILE 0x00000002L
#define M_CHECK_FILENAME_ONLY 0x00000200L
#define M_ERROR_MESSAGE_OFF 0x00800000L

/* Mode of ...CheckArchive. */
#define CHECKARCHIVE_RAPID 0
#define CHECKARCHIVE_BASIC 1
#define CHECKARCHIVE_FULLCRC 2

/* Result codes of the command entry. 0 = success. */
#define ERROR_DISK_SPACE 0x8005
#define ERROR_READ_ONLY 0x8006
#define ERROR_USER_SKIP 0x8007
#define ERROR_UNKNOWN_TYPE 0x8008
#define ERROR_METHOD 0x8009
#define ERROR_PASSWORD_FILE 0x800A
#define ERROR_VERSION 0x800B
#define ERROR_FILE_CRC 0x800C
#define ERROR_FILE_OPEN 0x800D
#define ERROR_MORE_FRESH 0x800E
#define ERROR_NOT_EXIST 0x800F
#define ERROR_ALREADY_EXIST 0x8010
#define ERROR_TOO_MANY_FILES 0x8011
#define ERROR_MAKEDIRECTORY 0x8012
#define ERROR_CANNOT_WRITE 0x8013
#define ERROR_HUFFMAN_CODE 0x8014
#define ERROR_COMMENT_HEADER 0x8015
#define ERROR_HEADER_CRC 0x8016
#define ERROR_HEADER_BROKEN 0x8017
#define ERROR_ARC_FILE_OPEN 0x8018
#define ERROR_NOT_ARC_FILE 0x8019
#define ERROR_CANNOT_READ 0x801A
#define ERROR_FILE_STYLE 0x801B
#define ERROR_COMMAND_NAME 0x801C
#define ERROR_MORE_HEAP_MEMORY 0x801D
#define ERROR_ENOUGH_MEMORY 0x801E
#define ERROR_ALREADY_RUNNING 0x801F
#define ERROR_USER_CANCEL 0x8020
#define ERROR_HARC_ISNOT_OPENED 0x8021
#define ERROR_NOT_SEARCH_MODE 0x8022
#define ERROR_NOT_SUPPORT 0x8023
#define ERROR_TIME_STAMP 0x8024
#define ERROR_TMP_OPEN 0x8025
#define ERROR_LONG_FILE_NAME 0x8026
#define ERROR_ARC_READ_ONLY 0x8027
#define ERROR_SAME_NAME_FILE 0x8028
#define ERROR_NOT_FIND_ARC_FILE 0x8029
#define ERROR_RESPONSE_READ 0x802A
#define ERROR_NOT_FILENAME 0x802B
#define ERROR_TMP_COPY 0x802C
#define ERROR_EOF 0x802D
#define ERROR_ADD_TO_LARGE 0x802E
#define ERROR_TMP_BACK_SPACE 0x802F
#define ERROR_SHARING 0x8030
#define ERROR_NOT_FIND_FILE 0x8031
#define ERROR_LOG_FILE 0x8032
#define ERROR_NO_DEVICE 0x8033
#define ERROR_GET_ATTRIBUTES 0x8034
#define ERROR_SET_ATTRIBUTES 0x8035
#define ERROR_GET_INFORMATION 0x8036
#define ERROR_GET_POINT 0x8037
#define ERROR_SET_POINT 0x8038
#define ERROR_CONVERT_TIME 0x8039
#define ERROR_GET_TIME 0x803A
#define ERROR_SET_TIME 0x803B
#define ERROR_CLOSE_FILE 0x803C
#define ERROR_HEAP_MEMORY 0x803D
#define ERROR_HANDLE 0x803E
#define ERROR_TIME_STAMP_RANGE 0x803F
#define ERROR_MAKE_ARCHIVE 0x8040
#define ERROR_NOT_CONFIRM_NAME 0x8041
#define ERROR_UNEXPECTED_EOF 0x8042
#define ERROR_INVALID_END_MARK 0x8043
#define ERROR_INVOLVED_LZH 0x8044
#define ERROR_NO_END_MARK 0x8045
#define ERROR_HDR_INVALID_SIZE 0x8046
#define ERROR_UNKNOWN_LEVEL 0x8047
#define ERROR_BROKEN_DATA 0x8048
/* Written by these libraries only: an entry refused because it would land
 * outside the destination folder (".." parts, absolute names, links). */
#define ERROR_UNSAFE_PATH 0x8049
/* Written by these libraries only: an entry, or the archive as a whole,
 * expanding past both 200 MiB and 100 times its packed size (a bomb) was
 * stopped and its output removed. */
#define ERROR_EXPANDS_TOO_FAR 0x804A

/* Answers of TarGetArchiveType. */
#define ARCHIVETYPE_NONE 0       /* not an archive tar32.dll reads */
#define ARCHIVETYPE_TAR 1        /* plain tar */
#define ARCHIVETYPE_TARGZ 2      /* gzip-compressed tar */
#define ARCHIVETYPE_TARZ 3       /* compress (.Z, .taz) tar */
#define ARCHIVETYPE_GZ 4         /* a single gzipped file */
#define ARCHIVETYPE_Z 5          /* a single compressed (.Z) file */
#define ARCHIVETYPE_TARBZ2 6     /* bzip2-compressed tar */
#define ARCHIVETYPE_BZ2 7        /* a single bzip2 file */
#define ARCHIVETYPE_TARXZ 8      /* xz-compressed tar */
#define ARCHIVETYPE_XZ 9         /* a single xz file */
#define ARCHIVETYPE_TARLZMA 10   /* lzma-compressed tar (.tlz) */
#define ARCHIVETYPE_LZMA 11      /* a single lzma file */
#define ARCHIVETYPE_TARZSTD 12   /* zstd-compressed tar */
#define ARCHIVETYPE_ZSTD 13      /* a single zstd file */

/* The entry points, shown with the UNLHA32.DLL prefix; every library has the
 * same set under its own prefix (see above). Types for dlsym'd pointers: */
typedef int (ARC_API *ARC_COMMAND_FN)(ARC_HWND hwnd, const char* cmdLine, char* output, uint32_t size);
typedef HARC (ARC_API *ARC_OPEN_FN)(ARC_HWND hwnd, const char* fileName, uint32_t mode);
typedef int (ARC_API *ARC_CLOSE_FN)(HARC harc);
typedef int (ARC_API *ARC_FINDFIRST_FN)(HARC harc, const char* wildName, INDIVIDUALINFO* info);
typedef int (ARC_API *ARC_FINDNEXT_FN)(HARC harc, INDIVIDUALINFO* info);
typedef int (ARC_API *ARC_CHECK_FN)(const char* fileName, int mode);
typedef int (ARC_API *ARC_SETOWNER_FN)(ARC_HWND hwnd, ARCHIVERPROC proc);
typedef int (ARC_API *ARC_KILLOWNER_FN)(ARC_HWND hwnd);
typedef int (ARC_API *ARC_GETTYPE_FN)(const char* fileName);
/* <Prefix>SetUnicodeMode(TRUE) makes the calling thread's texts UTF-8. */
typedef int (ARC_API *ARC_SETUNICODE_FN)(int on);
typedef int (ARC_API *ARC_GETUNICODE_FN)(void);

/* ...ExtractMem: one entry into memory. The command line names the archive
 * (switches, words starting with "-", are ignored) and then one entry name
 * or mask; the first entry that matches is read. Its bytes go to `buffer`
 * (up to `size`), its time (UTC seconds) to `*time`, its DOS attributes to
 * `*attributes` and its full length to `*written` (each output may be
 * null). An entry longer than `size` answers ERROR_MORE_HEAP_MEMORY with
 * nothing written to the buffer and `*written` telling the room it needs.
 * No entry matching: ERROR_NOT_FIND_FILE; a name with a ".." part or an
 * absolute name: ERROR_UNSAFE_PATH; a folder or a link: ERROR_NOT_FILENAME. */
typedef int (ARC_API *ARC_EXTRACTMEM_FN)(ARC_HWND hwnd, const char* cmdLine, unsigned char* buffer, uint32_t size,
                                         int64_t* time, uint16_t* attributes, uint32_t* written);

/* ...ListExtractMem: the whole listing and the bytes of the entries chosen,
 * in one pass over the archive. The command line is ExtractMem's with any
 * number of masks; the switch -n leaves the listing out (`proc` hears of
 * the chosen entries only). `proc` is called once per entry in the archive's order
 * (a non-zero answer stops the pass: ERROR_USER_CANCEL); for an entry the
 * masks choose, `data` holds its bytes (valid during the call only) and
 * `leafName` the name an unpacking without folders gives the file
 * (file-system form: UTF-8). Answers 0 when every entry was read,
 * otherwise the first error met, at which the pass stops. A chosen entry
 * over 32 MiB answers ERROR_MORE_HEAP_MEMORY. */
typedef struct {
  INDIVIDUALINFO info;        /* as ...FindFirst / ...FindNext fill it */
  int32_t chosen;             /* non-zero: the masks choose it, the fields below are set */
  const unsigned char* data;
  uint32_t size;
  uint16_t attributes;        /* DOS attribute bits */
  uint16_t reserved;
  int64_t time;               /* UTC seconds, as an unpacking sets the file's time; 0 unknown */
  char leafName[FNAME_MAX32 + 1];
} ENTRYMEMINFO;
typedef int (ARC_API *ENTRYMEMPROC)(void* context, const ENTRYMEMINFO* entry);
typedef int (ARC_API *ARC_LISTEXTRACTMEM_FN)(const char* cmdLine, ENTRYMEMPROC proc, void* context);
/* The family's other entries, under the same prefixes (ZIP32J.DLL has the
 * state entries under "Zip", its listing and getters under "UnZip"):
 *
 *   WORD GetVersion(void)         the version of the family member whose
 *                                 interface the library honours, times 100:
 *                                 UNLHA32 300, UNZIP32 600, ZIP32J 300,
 *                                 LMZIP32 300, CAB32 100, UNARJ32J 100,
 *                                 tar32 240, UNRAR32 100, 7-ZIP32 922
 *   WORD GetSubVersion(void)      this system's build of it: major*10000 +
 *                                 minor*100 + patch of the bmslist release
 *   BOOL GetRunning(void)         TRUE while a command of the library runs
 *   BOOL Get/SetBackGroundMode, Get/SetCursorMode, WORD Get/SetCursorInterval
 *                                 kept and answered; no dialog or cursor is
 *                                 ever shown, so they change nothing else
 *   BOOL QueryFunctionList(int)   TRUE for the ISARC_ numbers below the
 *                                 library exports
 *   BOOL ConfigDialog(HWND, LPSTR, int)  FALSE: there is nothing to set
 *   BOOL SetOwnerWindow(HWND), ClearOwnerWindow(void)  the forms without a
 *                                 callback of SetOwnerWindowEx / KillOwnerWindowEx
 *   int  GetFileCount(LPCSTR archive)   entries, folders included; -1 when
 *                                 the archive cannot be read
 *
 * Getters of an open handle. The archive's: GetArcFileName(harc, buf, size)
 * (0 or an error code), GetArcFileSize, GetArcOriginalSize,
 * GetArcCompressedSize (totals of the entries the handle's search
 * patterns match, every entry before FindFirst), GetArcRatio (per mille),
 * GetArcDate, GetArcTime (the file's MS-DOS stamp), GetArcOSType (of the
 * first entry), IsSFXFile (0, or SFX_EXECUTABLE for an archive inside an
 * executable), GetArc{Write,Create,Access}TimeEx(harc, ARC_FILETIME*) and
 * GetArc{FileSize,OriginalSize,CompressedSize}Ex(harc, uint64_t*) (TRUE
 * or FALSE). The entry's, for the entry the last FindFirst/FindNext
 * answered 0 for: GetFileName and GetMethod (harc, buf, size: 0, -1 when
 * there is no such entry, ERROR_LONG_FILE_NAME when the buffer cannot hold
 * the text; the name is whole, never cut at 512 bytes), GetOriginalSize,
 * GetCompressedSize, GetCRC, GetWriteTime, GetCreateTime, GetAccessTime
 * (UTC seconds since 1970), GetOSType, GetAttribute (FA_ bits), GetRatio,
 * GetDate, GetTime, Get{Write,Create,Access}TimeEx(harc, ARC_FILETIME*),
 * Get{Original,Compressed}SizeEx(harc, uint64_t*). A getter answers -1
 * (all bits set in a WORD or DWORD) or FALSE when there is no entry: no
 * search yet, or the search has ended; formats that keep one time give it
 * for all three. Numbers past 32 bits read 0xFFFFFFFF in the short forms. */
#define ISARC 0
#define ISARC_GET_VERSION 1
#define ISARC_GET_CURSOR_INTERVAL 2
#define ISARC_SET_CURSOR_INTERVAL 3
#define ISARC_GET_BACK_GROUND_MODE 4
#define ISARC_SET_BACK_GROUND_MODE 5
#define ISARC_GET_CURSOR_MODE 6
#define ISARC_SET_CURSOR_MODE 7
#define ISARC_GET_RUNNING 8
#define ISARC_CHECK_ARCHIVE 16
#define ISARC_CONFIG_DIALOG 17
#define ISARC_GET_FILE_COUNT 18
#define ISARC_QUERY_FUNCTION_LIST 19
#define ISARC_HOUT 20
#define ISARC_STRUCTOUT 21
#define ISARC_GET_ARC_FILE_INFO 22
#define ISARC_OPEN_ARCHIVE 23
#define ISARC_CLOSE_ARCHIVE 24
#define ISARC_FIND_FIRST 25
#define ISARC_FIND_NEXT 26
#define ISARC_EXTRACT 27
#define ISARC_ADD 28
#define ISARC_MOVE 29
#define ISARC_DELETE 30
#define ISARC_SETOWNERWINDOW 31
#define ISARC_CLEAROWNERWINDOW 32
#define ISARC_SETOWNERWINDOWEX 33
#define ISARC_KILLOWNERWINDOWEX 34
#define ISARC_GET_ARC_FILE_NAME 40
#define ISARC_GET_ARC_FILE_SIZE 41
#define ISARC_GET_ARC_ORIGINAL_SIZE 42
#define ISARC_GET_ARC_COMPRESSED_SIZE 43
#define ISARC_GET_ARC_RATIO 44
#define ISARC_GET_ARC_DATE 45
#define ISARC_GET_ARC_TIME 46
#define ISARC_GET_ARC_OS_TYPE 47
#define ISARC_GET_ARC_IS_SFX_FILE 48
#define ISARC_GET_ARC_WRITE_TIME_EX 49
#define ISARC_GET_ARC_CREATE_TIME_EX 50
#define ISARC_GET_ARC_ACCESS_TIME_EX 51
#define ISARC_GET_FILE_NAME 57
#define ISARC_GET_ORIGINAL_SIZE 58
#define ISARC_GET_COMPRESSED_SIZE 59
#define ISARC_GET_RATIO 60
#define ISARC_GET_DATE 61
#define ISARC_GET_TIME 62
#define ISARC_GET_CRC 63
#define ISARC_GET_ATTRIBUTE 64
#define ISARC_GET_OS_TYPE 65
#define ISARC_GET_METHOD 66
#define ISARC_GET_WRITE_TIME 67
#define ISARC_GET_CREATE_TIME 68
#define ISARC_GET_ACCESS_TIME 69
#define ISARC_GET_WRITE_TIME_EX 70
#define ISARC_GET_CREATE_TIME_EX 71
#define ISARC_GET_ACCESS_TIME_EX 72
#define ISARC_GET_ARC_FILE_SIZE_EX 80
#define ISARC_GET_ARC_ORIGINAL_SIZE_EX 81
#define ISARC_GET_ARC_COMPRESSED_SIZE_EX 82
#define ISARC_GET_ORIGINAL_SIZE_EX 83
#define ISARC_GET_COMPRESSED_SIZE_EX 84

/* GetAttribute bits. */
#define FA_RDONLY 0x01
#define FA_HIDDEN 0x02
#define FA_SYSTEM 0x04
#define FA_LABEL 0x08
#define FA_DIREC 0x10
#define FA_ARCH 0x20

/* IsSFXFile: not a self-extractor, or an archive inside an executable. */
#define SFX_NOT 0
#define SFX_EXECUTABLE 2001

/* 100-nanosecond intervals since 1601-01-01 UTC, as Windows' FILETIME. */
typedef struct {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
} ARC_FILETIME;

typedef uint16_t (ARC_API *ARC_GETVERSION_FN)(void);
typedef int (ARC_API *ARC_QUERYFUNCTION_FN)(int function);
typedef int (ARC_API *ARC_GETFILECOUNT_FN)(const char* fileName);
typedef int (ARC_API *ARC_GETTEXT_FN)(HARC harc, char* buffer, int size);
typedef uint32_t (ARC_API *ARC_GETDWORD_FN)(HARC harc);
typedef uint16_t (ARC_API *ARC_GETWORD_FN)(HARC harc);
typedef int (ARC_API *ARC_GETINT_FN)(HARC harc);
typedef int (ARC_API *ARC_GETFILETIME_FN)(HARC harc, ARC_FILETIME* time);
typedef int (ARC_API *ARC_GETSIZE64_FN)(HARC harc, uint64_t* size);

/* What the libraries of this system answer (command entry):
 *   0                      every selected entry was written
 *   ERROR_COMMAND_NAME     unknown command word or switch of the dialect
 *   ERROR_NOT_SUPPORT      a command this system cannot carry out: self-extractors
 *                          (LHA "s", CAB "-f"), compress (.Z) creation, ZIP64
 *                          or split archives to change; the output says why
 *   ERROR_NOT_FIND_FILE    a file named for adding does not exist, or nothing
 *                          matched (no archive is written or changed)
 *   ERROR_NOT_FILENAME     a name the format cannot hold, or "d" without names
 *   ERROR_TMP_OPEN         no new archive can be made beside the old one
 *   ERROR_ADD_TO_LARGE, ERROR_TOO_MANY_FILES
 *                          beyond the format's size or entry limits
 * Creating and changing commands write the new archive beside the old one
 * and replace it only on success: a failure leaves the old archive as it was.
 *   ERROR_NOT_FIND_ARC_FILE  no archive named on the line
 *   ERROR_ARC_FILE_OPEN    the archive cannot be opened
 *   ERROR_NOT_ARC_FILE     not an archive of this library's formats
 *   ERROR_RESPONSE_READ    an "@file" response file cannot be read
 *   ERROR_UNSAFE_PATH      an entry was refused (".." part, link leading out,
 *                          link in the way); the other entries were written
 *   ERROR_HEADER_BROKEN, ERROR_BROKEN_DATA, ERROR_FILE_CRC, ERROR_METHOD,
 *   ERROR_PASSWORD_FILE    damaged, truncated, unsupported or encrypted data;
 *                          extraction stops, the failed file is removed
 *   ERROR_EXPANDS_TOO_FAR  an entry or the archive expanded past any plausible
 *                          size and was stopped; what came before is kept
 *   ERROR_DISK_SPACE, ERROR_CANNOT_WRITE, ERROR_FILE_OPEN, ERROR_MAKEDIRECTORY
 *                          the destination cannot take the file
 *   ERROR_USER_CANCEL      the owner window answered 1 (abort)
 * The output buffer, when given, receives a one-line summary.
 *
 * ...FindFirst / ...FindNext answer 0 for an entry, -1 at the end, or an
 * error code. ...CheckArchive answers non-zero (TRUE) when the archive is
 * sound. ...SetOwnerWindowEx / ...KillOwnerWindowEx answer non-zero on
 * success. */

#ifdef __cplusplus
}
#endif

#endif
