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
