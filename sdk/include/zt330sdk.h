/**
 * @file zt330sdk.h
 * @brief Scanner SDK: drives Bluetooth barcode scanners over their serial ports.
 *
 * ztInitialize opens a scanner on port COM<n> and returns an opaque ScannerHandle; every other operation
 * takes that handle, runs one request/response exchange with the scanner and returns a result code
 * (SDK_OK or a negative SDK_ERR_... value; ztResultName and ztResultText below spell them out). Most
 * operations also exist under the prefix NrBtBarcode with the same suffix; a second name is the same
 * function. Nothing is logged and no exception crosses this interface.
 *
 * Ports: `COM<n>` is the device `$ZT_PORT_DIR/COM<n>` when ZT_PORT_DIR is set, else `/dev/rfcomm<n>`.
 *
 * @par Thread safety
 *  - Any thread may call any function. Operations on different handles run in parallel. One operation
 *    at a time per handle: a second call on a busy handle returns SDK_ERR_BUSY after 1 ms (measured on
 *    the steady clock) instead of waiting. ztCollectingOnce never waits for the busy handle.
 *  - Callbacks never run on the caller's thread, with one exception: the failure call (0, -1) of a
 *    CollectProgressCallback. DisconnectCallback and ScanDataCallback run on the SDK's event-dispatcher
 *    thread; the other progress calls on the SDK's command thread of the handle.
 *  - Order: the callbacks of one handle run one at a time, in the order its events arrived. Across
 *    handles they run one at a time in arrival order too, except after a hand-over (see closing): a
 *    callback left running on the old dispatcher thread may then overlap callbacks of other handles.
 *  - The callbacks are process-wide: every ztInitialize that gets past its argument checks replaces both,
 *    for all open handles.
 *  - Opening: no callback for a handle starts before ztInitialize has finished with it. Events that
 *    arrive during the open (a scan, even the loss of the scanner) are held and delivered once
 *    ztInitialize is returning the handle; so ztInitialize never returns a handle that was already
 *    lost and freed, and a scanner lost during its open is reported by DisconnectCallback after
 *    ztInitialize has returned it. A callback may still run before the caller has stored the returned
 *    handle: store it under a lock of the caller's that the callbacks also take (ztInitialize never
 *    waits for a callback, so this cannot deadlock). When the open fails, held events are dropped.
 *  - Closing: when ztDeinitialize(h, 0), called outside a callback, returns SDK_OK, every event of h
 *    that was queued has been delivered, no callback for h is running, and none will start. It waits
 *    for a callback of h that is running; it never waits for a callback of another handle: when the
 *    dispatcher is inside one, the queue is handed over to a new dispatcher thread, which delivers the
 *    events of h first. Hence the one rule a callback must keep: it must not wait for a thread that may
 *    be closing the same handle (post to that thread instead); that would deadlock.
 *    Called from a callback, ztDeinitialize(h, 0) does not wait: events of h still queued are dropped.
 *  - Stopping never waits for a callback: the last ztDeinitialize and the shutdown retire a dispatcher
 *    thread that is inside a callback (also the caller's own thread). It finishes the callback and ends,
 *    and is joined by a later call of the SDK or at the process's end; it is never killed or detached.
 *  - Shutdown: ztDeinitialize(NULL, 1) closes every handle at once, also those still inside ztInitialize
 *    (which then fails with SDK_ERR_ABORTED). After it returns no callback starts; events still queued
 *    are dropped (scans the scanners count as delivered are lost: close handles one by one first where
 *    that matters); a callback running at that moment may run on, and operations on its handle return
 *    SDK_ERR_INVALID_HANDLE. A handle's address is never reused while a callback holds it.
 *  - The process may end at any time, also by exit() from a callback: the SDK closes its ports as the
 *    statics are destroyed, and waits up to 3 s for a callback that is still running on another thread
 *    to return, so that its thread is joined. A callback that takes longer (one that waits for the thread
 *    that ends the process, say), or the thread that called exit(), ends with the process.
 *  - DisconnectCallback: while it runs, the handle is already closed for operations (they return
 *    SDK_ERR_INVALID_HANDLE, ztDeinitialize returns SDK_ERR_UNKNOWN_HANDLE); after it returns the handle
 *    is freed.
 *  - CollectProgressCallback must not call the SDK for its own handle (SDK_ERR_BUSY).
 *
 * @par Debugging
 * ZT_TRACE=1 in the environment writes a trace of the link and the engine to standard error.
 */
#ifndef ZT330SDK_H
#define ZT330SDK_H

#include "zt330sdk_version.h"

/** Marks the functions the library exports (default visibility while the library itself is built). */
#if defined(ZT_SDK_BUILDING)
#define ZT_API __attribute__((visibility("default")))
#else
#define ZT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/** Result codes. */
enum {
    SDK_OK = 0,                      /**< done */
    SDK_ERR_OPEN_FAILED = -1,        /**< the port could not be opened; or the request could not be built */
    SDK_ERR_BAD_PORT = -2,           /**< ztInitialize: port number above 100 */
    SDK_ERR_PORT_UNAVAILABLE = -3,   /**< ztInitialize: no such device */
    SDK_ERR_PORT_IN_USE = -4,        /**< ztInitialize: a handle for this port is already open (or opening) */
    SDK_ERR_NOT_CONNECTED = -5,      /**< ztDeinitialize: the scanner's link is not up */
    SDK_ERR_UNKNOWN_HANDLE = -6,     /**< ztDeinitialize: null or unknown handle */
    SDK_ERR_ALREADY_CONNECTED = -7,  /**< connect asked of a link that is already connected */
    SDK_ERR_LINK = -8,               /**< a frame could not be written, or no matching response after the repeats */
    SDK_ERR_TIMEOUT = -9,            /**< no response within three waits of 1000 ms */
    SDK_ERR_ABORTED = -12,           /**< cut short because the port is being closed */
    SDK_ERR_BUSY = -15,              /**< another operation holds the handle; or ztCollectingOnce during a collection */
    SDK_ERR_INVALID_HANDLE = -16,    /**< null or unknown handle (every operation but ztDeinitialize) */
    SDK_ERR_PORT_LOST = -17,         /**< the port became invalid (scanner gone), or the link is down */
    SDK_ERR_INVALID_ARG = -18,       /**< null pointer or value out of range */
    SDK_ERR_DEVICE_REFUSED = -19,    /**< the scanner refused, or answered in the wrong form */
    SDK_ERR_UNSUPPORTED_OPTION = -21 /**< symbology group/item pair not supported */
};

/** Results of ztDeinitialize with the shutdown-all flag. */
enum {
    SDK_SHUTDOWN_DONE = 1,       /**< every handle closed, the SDK stopped */
    SDK_SHUTDOWN_NOT_RUNNING = 2 /**< the SDK was not running */
};

/** One open scanner. Owned by the SDK; invalid after ztDeinitialize or after its DisconnectCallback. */
typedef struct ZtScanner* ScannerHandle;

/**
 * The scanner of `handle` was lost (port gone, or it stopped answering a re-check). Runs on the
 * dispatcher thread; see Thread safety. After it returns the handle is freed.
 * @param handle the lost scanner's handle.
 */
typedef void (*DisconnectCallback)(ScannerHandle handle);

/**
 * A barcode scanned live (deleted == 0) or a deleted-data report (deleted == 1), on the dispatcher
 * thread.
 * @param handle the scanner that sent it.
 * @param[in] record the scan record, valid only during the call: tag byte, 7-byte scanner time, two
 * little-endian doubles, then the text and a zero byte.
 * @param length 25 + text length (the bytes before the first zero byte).
 * @param deleted 0 for a live barcode, 1 for a deleted-data report.
 *
 * Malformed packets are never read beyond their end: one shorter than the 24-byte head
 * is acknowledged and dropped; one whose text has no zero byte is delivered with the text cut at the end
 * of the packet and a zero byte added. Scans that arrive while an operation runs on the handle are
 * neither delivered nor acknowledged (left unacknowledged, the scanner may send them again); every scan
 * that is acknowledged is delivered, unless the SDK is shut down before (see Thread safety).
 */
typedef void (*ScanDataCallback)(ScannerHandle handle, const unsigned char* record, int length, int deleted);

/**
 * Download progress: `received` of `total` records. (total, 0) after the size header, about every tenth
 * record, then (total, total) once the last announced record has been answered (also when it was
 * dropped); (0, -1) once when the download failed. Runs on the handle's command thread, the failure call
 * on the caller's thread.
 * @param total the number of records the scanner announced (0 in the failure call).
 * @param received the records answered so far (-1 in the failure call).
 */
typedef void (*CollectProgressCallback)(int total, int received);

/**
 * Opens the scanner on port `COM<port>`: opens and configures the port, waits 1000 ms for the link to
 * settle and proves that the scanner answers (a little over 1 s in all; about 4 s when the scanner is
 * silent). Blocks the caller meanwhile; never waits for a callback.
 * @param[in] port 0..100 (compared as unsigned).
 * @param[out] error must not be NULL (with NULL nothing is opened and NULL returned). Always written: SDK_OK;
 *       SDK_ERR_BAD_PORT, SDK_ERR_PORT_IN_USE (open, opening or closing on another thread),
 *       SDK_ERR_OPEN_FAILED, SDK_ERR_PORT_UNAVAILABLE (no such device), SDK_ERR_LINK, SDK_ERR_TIMEOUT,
 *       SDK_ERR_PORT_LOST (handshake), SDK_ERR_ABORTED (a shutdown cut the open short).
 * @param[in] onDisconnect may be NULL (the event is then dropped; a lost scanner's handle is still
 *       freed). It replaces the process-wide callback once the call has passed its checks.
 * @param[in] onScanData may be NULL (the event is then dropped). It replaces the process-wide callback
 *       once the call has passed its checks.
 * @return the handle, or NULL on failure. The first call starts the dispatcher thread, which stays
 * running after a failed open.
 */
ZT_API ScannerHandle ztInitialize(unsigned int port, int* error, DisconnectCallback onDisconnect,
                                  ScanDataCallback onScanData);

/**
 * Closes one scanner, or every scanner and the SDK.
 *
 * shutdownAll == 0: closes `handle` and, with the last one, stops the dispatcher (see Thread safety for
 * what is delivered and waited for).
 * @param[in] handle may be NULL (SDK_ERR_UNKNOWN_HANDLE); ignored when shutdownAll != 0.
 * @param shutdownAll 0 to close `handle`; any other value to close everything.
 * @return with shutdownAll == 0: SDK_OK; SDK_ERR_UNKNOWN_HANDLE (NULL, closed, lost, or lost at this moment: its
 *   DisconnectCallback reports it); SDK_ERR_NOT_CONNECTED (the link is down, e.g. a USB serial scanner
 *   that stopped answering; the handle stays open: retry, or shut the SDK down).
 * With shutdownAll != 0: `handle` is ignored; closes every handle, also opening ones, without calling
 *   DisconnectCallback, and stops the SDK at once. Returns SDK_SHUTDOWN_DONE, or
 *   SDK_SHUTDOWN_NOT_RUNNING when it was not running.
 */
ZT_API int ztDeinitialize(ScannerHandle handle, int shutdownAll);

/**
 * @page zt_operations Operations on an open scanner
 *
 * Every operation below takes a handle from ztInitialize first and runs one exchange with the scanner,
 * blocking the caller until it ends (at most three 1000 ms waits per request). The order of checks is:
 * handle, arguments, busy lock. Besides the codes listed, each can return SDK_ERR_INVALID_HANDLE (NULL
 * or closed handle), SDK_ERR_INVALID_ARG (a NULL pointer or a value out of range; nothing is sent),
 * SDK_ERR_BUSY (another operation runs on the handle), and the exchange errors SDK_ERR_LINK,
 * SDK_ERR_TIMEOUT, SDK_ERR_ABORTED (the handle is being closed), SDK_ERR_PORT_LOST (also: the link is
 * down) and SDK_ERR_DEVICE_REFUSED. Every pointer must not be NULL. [out] values are written only on
 * SDK_OK (and then as each function says); values whose meaning is the scanner's are passed through as
 * numbers.
 */

/**
 * Sets the scan mode.
 * @param handle the scanner.
 * @param[in] scanMode 0..2.
 * @param[in] value 0..9999, sent only with modes 1 and 2.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetScanMode(ScannerHandle handle, int scanMode, unsigned int value);
/**
 * Reads the scan mode.
 * @param handle the scanner.
 * @param[out] scanMode 0 when the scanner's answer had another form.
 * @param[out] value 0 when the scanner's answer had another form.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetScanMode(ScannerHandle handle, int* scanMode, int* value);

/**
 * Sets the beep volume.
 * @param handle the scanner.
 * @param[in] volume beep volume 0..3.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetBuzzerVolume(ScannerHandle handle, unsigned int volume);
/**
 * Reads the beep volume.
 * @param handle the scanner.
 * @param[out] volume 0..3 (0 when the scanner reports another value or form).
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetBuzzerVolume(ScannerHandle handle, int* volume);

/**
 * Reads the battery status.
 * @param handle the scanner.
 * @param[out] first battery value; the previous call's value (0 at first) on an answer of another form.
 * @param[out] second battery value; the previous call's value (0 at first) on an answer of another form.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetBatteryStatus(ScannerHandle handle, int* first, int* second);
/**
 * Reads the storage status.
 * @param handle the scanner.
 * @param[out] value storage status; the previous value on an answer of another form.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetStorageStatus(ScannerHandle handle, int* value);

/**
 * Sets the scanner time, 7 bytes: year - 1900 (70 or more), month 0..11, day 1..31, hour 0..23,
 * minute 0..59, second 0..59, day of week 0..6 (0 Sunday).
 * @param handle the scanner.
 * @param[in] time 7 bytes; every field is checked before sending.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetTime(ScannerHandle handle, const unsigned char* time);
/**
 * Reads the scanner time, 7 bytes laid out as for ztSetTime.
 * @param handle the scanner.
 * @param[out] time 7 bytes, written only from an answer of the right form (SDK_OK and untouched
 *       otherwise).
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetTime(ScannerHandle handle, unsigned char* time);

/**
 * Sets the prefix text, sent before every barcode. Texts use the backslash notation: \\t tab, \\n line
 * feed, \\r carriage return (either letter case), \\\\ backslash; any other backslash stands for itself.
 * @param handle the scanner.
 * @param[in] text zero terminated; bytes 1..127, at most 63 characters once unescaped.
 * @param[out] length the unescaped length + 1.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetPrefix(ScannerHandle handle, const char* text, int* length);
/**
 * Sets the suffix text, sent after every barcode; the text as for ztSetPrefix.
 * @param handle the scanner.
 * @param[in] text zero terminated; bytes 1..127, at most 63 characters once unescaped.
 * @param[out] length the unescaped length + 1.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetSuffix(ScannerHandle handle, const char* text, int* length);
/**
 * Reads the prefix text.
 * @param handle the scanner.
 * @param[out] text a buffer of at least 64 bytes; receives the scanner's text in backslash notation
 *       (see ztSetPrefix), zero terminated (SDK_ERR_INVALID_ARG when that would exceed 63 characters;
 *       nothing written).
 * @param[out] length the answer's length - 1.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetPrefix(ScannerHandle handle, char* text, int* length);
/**
 * Reads the suffix text.
 * @param handle the scanner.
 * @param[out] text a buffer of at least 64 bytes; receives the scanner's text in backslash notation
 *       (see ztSetPrefix), zero terminated (SDK_ERR_INVALID_ARG when that would exceed 63 characters;
 *       nothing written).
 * @param[out] length the answer's length - 1.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetSuffix(ScannerHandle handle, char* text, int* length);

/**
 * Sets symbology option `item` of symbology `group` (item 0: the symbology on or off). Only the 34
 * offered pairs are accepted; any other gives SDK_ERR_UNSUPPORTED_OPTION without an exchange.
 * @param handle the scanner.
 * @param group the symbology.
 * @param item the option of the symbology.
 * @param[in] value one byte.
 * @return SDK_OK, SDK_ERR_UNSUPPORTED_OPTION or an error (see @ref zt_operations).
 */
ZT_API int ztSetSymbologyOption(ScannerHandle handle, int group, int item, int value);
/**
 * Reads symbology option `item` of symbology `group`; the pairs as for ztSetSymbologyOption.
 * @param handle the scanner.
 * @param group the symbology.
 * @param item the option of the symbology.
 * @param[out] value 0 when the answer had another form.
 * @return SDK_OK, SDK_ERR_UNSUPPORTED_OPTION or an error (see @ref zt_operations).
 */
ZT_API int ztGetSymbologyOption(ScannerHandle handle, int group, int item, int* value);

/*
 * Configuration items. Gets check the answer strictly: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED (nothing written).
 */
/**
 * Sets the Bluetooth identity (a configuration item).
 * @param handle the scanner.
 * @param[in] id Bluetooth identity, 6 bytes.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetBluetoothID(ScannerHandle handle, const unsigned char* id);
/**
 * Reads the Bluetooth identity (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] id Bluetooth identity, 6 bytes.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetBluetoothID(ScannerHandle handle, unsigned char* id);
/**
 * Sets the serial number (a configuration item).
 * @param handle the scanner.
 * @param[in] serial 1..22 characters 0-9, A-Z, a-z.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetBluetoothSerial(ScannerHandle handle, const char* serial);
/**
 * Reads the serial number (a configuration item: an answer of another form is SDK_ERR_DEVICE_REFUSED,
 * nothing written).
 * @param handle the scanner.
 * @param[out] serial a buffer of at least 23 bytes, zero terminated.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetBluetoothSerial(ScannerHandle handle, char* serial);
/**
 * Sets the Bluetooth PIN (a configuration item).
 * @param handle the scanner.
 * @param[in] pin exactly 4 digits.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetBluetoothPin(ScannerHandle handle, const char* pin);
/**
 * Reads the Bluetooth PIN (a configuration item: an answer of another form is SDK_ERR_DEVICE_REFUSED,
 * nothing written).
 * @param handle the scanner.
 * @param[out] pin a buffer of at least 5 bytes, zero terminated.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetBluetoothPin(ScannerHandle handle, char* pin);
/**
 * Reads the image (firmware) version (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] version 2 bytes, shown as two characters.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetImageVersion(ScannerHandle handle, unsigned char* version);
/**
 * Erases every record stored in the scanner.
 * @param handle the scanner.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztClearAllData(ScannerHandle handle);
/**
 * Restores the scanner's factory settings.
 * @param handle the scanner.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetDefault(ScannerHandle handle);
/**
 * Sets the power-save (sleep) time (a configuration item).
 * @param handle the scanner.
 * @param[in] value power-save (sleep) time 0..10.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetSleepModeTime(ScannerHandle handle, unsigned int value);
/**
 * Reads the power-save (sleep) time (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] value power-save (sleep) time.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetSleepModeTime(ScannerHandle handle, int* value);
/**
 * Sets the beep delay on connect (a configuration item).
 * @param handle the scanner.
 * @param[in] value beep delay on connect, 0..3000.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetConnectBeepDelayTime(ScannerHandle handle, unsigned int value);
/**
 * Reads the beep delay on connect (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] value beep delay on connect.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetConnectBeepDelayTime(ScannerHandle handle, int* value);
/**
 * Sets the beep delay on disconnect (a configuration item).
 * @param handle the scanner.
 * @param[in] value beep delay on disconnect, 0..3000.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetDisconnectBeepDelayTime(ScannerHandle handle, unsigned int value);
/**
 * Reads the beep delay on disconnect (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] value beep delay on disconnect.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetDisconnectBeepDelayTime(ScannerHandle handle, int* value);
/**
 * Sets the behaviour flag "the delete signal" (a configuration item).
 * @param handle the scanner.
 * @param[in] on any nonzero value sets the flag.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetDeleteSignal(ScannerHandle handle, int on);
/**
 * Reads the behaviour flag "the delete signal" (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] on one byte, 1 when set, else 0.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetDeleteSignal(ScannerHandle handle, unsigned char* on);
/**
 * Sets the behaviour flag "the LED in sleep mode" (a configuration item).
 * @param handle the scanner.
 * @param[in] on any nonzero value sets the flag.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetSleepModeLedOn(ScannerHandle handle, int on);
/**
 * Reads the behaviour flag "the LED in sleep mode" (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] on one byte, 1 when set, else 0.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetSleepModeLedOn(ScannerHandle handle, unsigned char* on);
/**
 * Sets the behaviour flag "the cancel button" (a configuration item).
 * @param handle the scanner.
 * @param[in] on any nonzero value sets the flag.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetCancelBtnStatus(ScannerHandle handle, int on);
/**
 * Reads the behaviour flag "the cancel button" (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] on one byte, 1 when set, else 0.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetCancelBtnStatus(ScannerHandle handle, unsigned char* on);
/**
 * Sets the behaviour flag "scan time in milliseconds" (a configuration item).
 * @param handle the scanner.
 * @param[in] on any nonzero value sets the flag.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetScanTimeMilSecOn(ScannerHandle handle, int on);
/**
 * Reads the behaviour flag "scan time in milliseconds" (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] on one byte, 1 when set, else 0.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetScanTimeMilSecOn(ScannerHandle handle, unsigned char* on);
/**
 * Sets the behaviour flag "the cancel-function change" (a configuration item).
 * @param handle the scanner.
 * @param[in] on any nonzero value sets the flag.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetCancelFuncChangeStatus(ScannerHandle handle, int on);
/**
 * Reads the behaviour flag "the cancel-function change" (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] on one byte, 1 when set, else 0.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetCancelFuncChangeStatus(ScannerHandle handle, unsigned char* on);
/**
 * Sets the behaviour flag "no scanning without a Bluetooth connection" (a configuration item).
 * @param handle the scanner.
 * @param[in] on any nonzero value sets the flag.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztSetNoBtConnectNotScanStatus(ScannerHandle handle, int on);
/**
 * Reads the behaviour flag "no scanning without a Bluetooth connection" (a configuration item: an answer of another form is
 * SDK_ERR_DEVICE_REFUSED, nothing written).
 * @param handle the scanner.
 * @param[out] on one byte, 1 when set, else 0.
 * @return SDK_OK or an error (see @ref zt_operations).
 */
ZT_API int ztGetNoBtConnectNotScanStatus(ScannerHandle handle, unsigned char* on);

/**
 * Downloads every record stored in the scanner into the handle (one exchange: a size header, one record
 * per block), sorted newest first; the records of the previous download are released.
 * @param handle the scanner.
 * @param[out] count the number of records now held. Written on SDK_OK and also after SDK_ERR_LINK,
 *       SDK_ERR_TIMEOUT and SDK_ERR_ABORTED (records that arrived before the failure are kept and
 *       counted); not written after SDK_ERR_PORT_LOST or a failed check.
 * @param[in] progress may be NULL; see CollectProgressCallback. It must not call the SDK for this handle.
 * @return SDK_OK or an error (see @ref zt_operations).
 *
 * Records longer than 3096 bytes or without a zero byte after their text are dropped and the download
 * goes on. While it runs, ztCollectingOnce on the handle returns SDK_ERR_BUSY.
 */
ZT_API int ztPrepareCollecting(ScannerHandle handle, int* count, CollectProgressCallback progress);

/**
 * Copies record `index` (0 = newest) of the last download; never waits for another operation on the
 * handle, and may be called as often as wanted until the next download.
 * @param handle the scanner.
 * @param[in] index 0..count-1.
 * @param[out] tag 0..255.
 * @param[out] time 7 bytes.
 * @param[out] value1 the record's first value.
 * @param[out] value2 the record's second value.
 * @param[out] text a buffer of at least 3072 bytes, zero terminated.
 * @param[out] textLength bytes before the zero byte.
 *
 * All outputs are written on SDK_OK only.
 * @return SDK_OK, SDK_ERR_INVALID_HANDLE, SDK_ERR_INVALID_ARG (NULL output, or index outside
 * 0..count-1) or SDK_ERR_BUSY (a download runs).
 */
ZT_API int ztCollectingOnce(ScannerHandle handle, int index, int* tag, unsigned char* time, double* value1,
                            double* value2, char* text, int* textLength);

/**
 * The name of a result code ("SDK_ERR_BUSY"); ztResultText says what it means in one line. Results of
 * ztDeinitialize with the shutdown flag (1, 2) are named too. Header-only: these are not functions of
 * the library.
 * @param result a result code.
 * @return the name, or "SDK_UNKNOWN_RESULT" for an unknown value. Returned strings are static.
 */
static inline const char* ztResultName(int result) {
    switch (result) {
        case SDK_OK: return "SDK_OK";
        case SDK_SHUTDOWN_DONE: return "SDK_SHUTDOWN_DONE";
        case SDK_SHUTDOWN_NOT_RUNNING: return "SDK_SHUTDOWN_NOT_RUNNING";
        case SDK_ERR_OPEN_FAILED: return "SDK_ERR_OPEN_FAILED";
        case SDK_ERR_BAD_PORT: return "SDK_ERR_BAD_PORT";
        case SDK_ERR_PORT_UNAVAILABLE: return "SDK_ERR_PORT_UNAVAILABLE";
        case SDK_ERR_PORT_IN_USE: return "SDK_ERR_PORT_IN_USE";
        case SDK_ERR_NOT_CONNECTED: return "SDK_ERR_NOT_CONNECTED";
        case SDK_ERR_UNKNOWN_HANDLE: return "SDK_ERR_UNKNOWN_HANDLE";
        case SDK_ERR_ALREADY_CONNECTED: return "SDK_ERR_ALREADY_CONNECTED";
        case SDK_ERR_LINK: return "SDK_ERR_LINK";
        case SDK_ERR_TIMEOUT: return "SDK_ERR_TIMEOUT";
        case SDK_ERR_ABORTED: return "SDK_ERR_ABORTED";
        case SDK_ERR_BUSY: return "SDK_ERR_BUSY";
        case SDK_ERR_INVALID_HANDLE: return "SDK_ERR_INVALID_HANDLE";
        case SDK_ERR_PORT_LOST: return "SDK_ERR_PORT_LOST";
        case SDK_ERR_INVALID_ARG: return "SDK_ERR_INVALID_ARG";
        case SDK_ERR_DEVICE_REFUSED: return "SDK_ERR_DEVICE_REFUSED";
        case SDK_ERR_UNSUPPORTED_OPTION: return "SDK_ERR_UNSUPPORTED_OPTION";
        default: return "SDK_UNKNOWN_RESULT";
    }
}

/**
 * What a result code means, in one line (its name: ztResultName). Results of ztDeinitialize with the
 * shutdown flag (1, 2) are explained too. Header-only: not a function of the library.
 * @param result a result code.
 * @return the meaning, or "unknown result" for an unknown value. Returned strings are static.
 */
static inline const char* ztResultText(int result) {
    switch (result) {
        case SDK_OK: return "done";
        case SDK_SHUTDOWN_DONE: return "every scanner closed, the SDK stopped";
        case SDK_SHUTDOWN_NOT_RUNNING: return "the SDK was not running";
        case SDK_ERR_OPEN_FAILED: return "the port could not be opened";
        case SDK_ERR_BAD_PORT: return "the port number is above 100";
        case SDK_ERR_PORT_UNAVAILABLE: return "no such port";
        case SDK_ERR_PORT_IN_USE: return "the port is already open";
        case SDK_ERR_NOT_CONNECTED: return "the scanner's link is not up";
        case SDK_ERR_UNKNOWN_HANDLE: return "the scanner is not open";
        case SDK_ERR_ALREADY_CONNECTED: return "the scanner is already connected";
        case SDK_ERR_LINK: return "no matching answer from the scanner";
        case SDK_ERR_TIMEOUT: return "the scanner did not answer";
        case SDK_ERR_ABORTED: return "cut short because the port is being closed";
        case SDK_ERR_BUSY: return "another operation is running on the scanner";
        case SDK_ERR_INVALID_HANDLE: return "the scanner is not open";
        case SDK_ERR_PORT_LOST: return "the scanner is gone";
        case SDK_ERR_INVALID_ARG: return "a value is out of range";
        case SDK_ERR_DEVICE_REFUSED: return "the scanner refused";
        case SDK_ERR_UNSUPPORTED_OPTION: return "the scanner has no such symbology option";
        default: return "unknown result";
    }
}

/* Second names: the same functions. The twelve flag operations have none. */
/** Another name of ztInitialize(). @copydoc ztInitialize */
ZT_API ScannerHandle NrBtBarcodeInitialize(unsigned int port, int* error, DisconnectCallback onDisconnect,
                                           ScanDataCallback onScanData);
/** Another name of ztDeinitialize(). @copydoc ztDeinitialize */
ZT_API int NrBtBarcodeDeinitialize(ScannerHandle handle, int shutdownAll);
/** Another name of ztPrepareCollecting(). @copydoc ztPrepareCollecting */
ZT_API int NrBtBarcodePrepareCollecting(ScannerHandle handle, int* count, CollectProgressCallback progress);
/** Another name of ztCollectingOnce(). @copydoc ztCollectingOnce */
ZT_API int NrBtBarcodeCollectingOnce(ScannerHandle handle, int index, int* tag, unsigned char* time, double* value1,
                                     double* value2, char* text, int* textLength);
/** Another name of ztClearAllData(). @copydoc ztClearAllData */
ZT_API int NrBtBarcodeClearAllData(ScannerHandle handle);
/** Another name of ztSetScanMode(). @copydoc ztSetScanMode */
ZT_API int NrBtBarcodeSetScanMode(ScannerHandle handle, int scanMode, unsigned int value);
/** Another name of ztGetScanMode(). @copydoc ztGetScanMode */
ZT_API int NrBtBarcodeGetScanMode(ScannerHandle handle, int* scanMode, int* value);
/** Another name of ztSetBuzzerVolume(). @copydoc ztSetBuzzerVolume */
ZT_API int NrBtBarcodeSetBuzzerVolume(ScannerHandle handle, unsigned int volume);
/** Another name of ztGetBuzzerVolume(). @copydoc ztGetBuzzerVolume */
ZT_API int NrBtBarcodeGetBuzzerVolume(ScannerHandle handle, int* volume);
/** Another name of ztGetBatteryStatus(). @copydoc ztGetBatteryStatus */
ZT_API int NrBtBarcodeGetBatteryStatus(ScannerHandle handle, int* first, int* second);
/** Another name of ztGetStorageStatus(). @copydoc ztGetStorageStatus */
ZT_API int NrBtBarcodeGetStorageStatus(ScannerHandle handle, int* value);
/** Another name of ztSetTime(). @copydoc ztSetTime */
ZT_API int NrBtBarcodeSetTime(ScannerHandle handle, const unsigned char* time);
/** Another name of ztGetTime(). @copydoc ztGetTime */
ZT_API int NrBtBarcodeGetTime(ScannerHandle handle, unsigned char* time);
/** Another name of ztSetPrefix(). @copydoc ztSetPrefix */
ZT_API int NrBtBarcodeSetPrefix(ScannerHandle handle, const char* text, int* length);
/** Another name of ztGetPrefix(). @copydoc ztGetPrefix */
ZT_API int NrBtBarcodeGetPrefix(ScannerHandle handle, char* text, int* length);
/** Another name of ztSetSuffix(). @copydoc ztSetSuffix */
ZT_API int NrBtBarcodeSetSuffix(ScannerHandle handle, const char* text, int* length);
/** Another name of ztGetSuffix(). @copydoc ztGetSuffix */
ZT_API int NrBtBarcodeGetSuffix(ScannerHandle handle, char* text, int* length);
/** Another name of ztSetSymbologyOption(). @copydoc ztSetSymbologyOption */
ZT_API int NrBtBarcodeSetSymbologyOption(ScannerHandle handle, int group, int item, int value);
/** Another name of ztGetSymbologyOption(). @copydoc ztGetSymbologyOption */
ZT_API int NrBtBarcodeGetSymbologyOption(ScannerHandle handle, int group, int item, int* value);
/** Another name of ztSetBluetoothID(). @copydoc ztSetBluetoothID */
ZT_API int NrBtBarcodeSetBluetoothID(ScannerHandle handle, const unsigned char* id);
/** Another name of ztGetBluetoothID(). @copydoc ztGetBluetoothID */
ZT_API int NrBtBarcodeGetBluetoothID(ScannerHandle handle, unsigned char* id);
/** Another name of ztSetBluetoothSerial(). @copydoc ztSetBluetoothSerial */
ZT_API int NrBtBarcodeSetBluetoothSerial(ScannerHandle handle, const char* serial);
/** Another name of ztGetBluetoothSerial(). @copydoc ztGetBluetoothSerial */
ZT_API int NrBtBarcodeGetBluetoothSerial(ScannerHandle handle, char* serial);
/** Another name of ztSetBluetoothPin(). @copydoc ztSetBluetoothPin */
ZT_API int NrBtBarcodeSetBluetoothPin(ScannerHandle handle, const char* pin);
/** Another name of ztGetBluetoothPin(). @copydoc ztGetBluetoothPin */
ZT_API int NrBtBarcodeGetBluetoothPin(ScannerHandle handle, char* pin);
/** Another name of ztGetImageVersion(). @copydoc ztGetImageVersion */
ZT_API int NrBtBarcodeGetImageVersion(ScannerHandle handle, unsigned char* version);
/** Another name of ztSetSleepModeTime(). @copydoc ztSetSleepModeTime */
ZT_API int NrBtBarcodeSetSleepModeTime(ScannerHandle handle, unsigned int value);
/** Another name of ztGetSleepModeTime(). @copydoc ztGetSleepModeTime */
ZT_API int NrBtBarcodeGetSleepModeTime(ScannerHandle handle, int* value);
/** Another name of ztSetConnectBeepDelayTime(). @copydoc ztSetConnectBeepDelayTime */
ZT_API int NrBtBarcodeSetConnectBeepDelayTime(ScannerHandle handle, unsigned int value);
/** Another name of ztGetConnectBeepDelayTime(). @copydoc ztGetConnectBeepDelayTime */
ZT_API int NrBtBarcodeGetConnectBeepDelayTime(ScannerHandle handle, int* value);
/** Another name of ztSetDisconnectBeepDelayTime(). @copydoc ztSetDisconnectBeepDelayTime */
ZT_API int NrBtBarcodeSetDisconnectBeepDelayTime(ScannerHandle handle, unsigned int value);
/** Another name of ztGetDisconnectBeepDelayTime(). @copydoc ztGetDisconnectBeepDelayTime */
ZT_API int NrBtBarcodeGetDisconnectBeepDelayTime(ScannerHandle handle, int* value);
/** Another name of ztSetDefault(). @copydoc ztSetDefault */
ZT_API int NrBtBarcodeSetDefault(ScannerHandle handle);

#ifdef __cplusplus
}
#endif

#endif /* ZT330SDK_H */
