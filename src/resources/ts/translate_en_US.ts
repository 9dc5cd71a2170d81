<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
    <context>
        <name>MainWindow</name>
        <message>
            <source>action_title_default</source>
            <translation>Reset</translation>
        </message>
        <message>
            <source>action_title_download</source>
            <translation>Download</translation>
        </message>
        <message>
            <source>action_title_import_gif</source>
            <translation>Import GIF Picture</translation>
        </message>
        <message>
            <source>action_title_import_video</source>
            <translation>Import Video</translation>
        </message>
        <message>
            <source>action_title_menu</source>
            <translation>Menu</translation>
        </message>
        <message>
            <source>action_title_new_diy</source>
            <translation>New DIY</translation>
        </message>
        <message>
            <source>action_title_open_image</source>
            <translation>Import Picture</translation>
        </message>
        <message>
            <source>action_title_preview</source>
            <translation>Preview</translation>
        </message>
        <message>
            <source>dialog_title_download_suc</source>
            <translation>Download success: %1</translation>
        </message>
        <message>
            <source>dialog_title_downloading</source>
            <translation>Downloading to the U disk, Please don't cancel!</translation>
        </message>
        <message>
            <source>dialog_title_load_gif</source>
            <translation>Import GIF file</translation>
        </message>
        <message>
            <source>dialog_title_load_picture</source>
            <translation>Import Picture File</translation>
        </message>
        <message>
            <source>dialog_title_not_find_default</source>
            <translation>The system default file does not exist!</translation>
        </message>
        <message>
            <source>dialog_title_preview_error1</source>
            <translation>No effect of U disk file, please select another U disk!</translation>
        </message>
        <message>
            <source>dialog_title_reading_sys</source>
            <translation>Reading the default file, please do not cancel!</translation>
        </message>
        <message>
            <source>dialog_title_reading_usb</source>
            <translation>Reading data from the U disk, please do not cancel!</translation>
        </message>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>删除图片</source>
            <translation>Del</translation>
        </message>
        <message>
            <source>删除视频</source>
            <translation>Del</translation>
        </message>
        <message>
            <source>图片列表</source>
            <translation>Picture List</translation>
        </message>
        <message>
            <source>编辑图片</source>
            <translation>Picture editing</translation>
        </message>
        <message>
            <source>编辑视频</source>
            <translation>Edit</translation>
        </message>
        <message>
            <source>视频列表</source>
            <translation>Video List</translation>
        </message>
        <message>
            <source>action_title_led_count</source>
            <translation>LED Count</translation>
        </message>
        <message>
            <source>action_title_line_number</source>
            <translation>Resolution</translation>
        </message>
        <message>
            <source>menu_title_settings</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>dialog_title_preview_unreadable</source>
            <translation>The effect file %1 cannot be read: %2</translation>
        </message>
        <message>
            <source>dialog_title_preview_incomplete</source>
            <translation>The effect file could not be read completely; what was read is shown.
%1</translation>
        </message>
        <message>
            <source>dialog_title_read_empty</source>
            <translation>The effect file %1 is empty: it holds no pictures.</translation>
        </message>
        <message>
            <source>dialog_title_read_short</source>
            <translation>The file %1 is only %2 bytes long, too short for an effect file.</translation>
        </message>
        <message>
            <source>dialog_title_read_nothing</source>
            <translation>The effect file %1 holds no pictures or clips.</translation>
        </message>
        <message>
            <source>dialog_title_read_cut</source>
            <translation>Nothing could be read from the effect file %1:
%2</translation>
        </message>
        <message>
            <source>dialog_title_read_extra</source>
            <translation>All pictures and clips of %1 were read. The %2 bytes after its last clip belong to none of them and were left out.</translation>
        </message>
        <message>
            <source>dialog_title_read_notes</source>
            <translation>The effect file %1 was read. Please note:
%2</translation>
        </message>
        <message>
            <source>download_fail_mixed</source>
            <translation>An effect file holds pictures of one size only, and this playlist holds pictures of different sizes. Remove the pictures of one size, or import them again with the current LED count and line number:
%1</translation>
        </message>
        <message>
            <source>download_mixed_group</source>
            <translation>%1: %2 bytes each</translation>
        </message>
        <message>
            <source>download_rows_pictures</source>
            <translation>picture rows %1</translation>
        </message>
        <message>
            <source>download_rows_clips</source>
            <translation>clip rows %1</translation>
        </message>
        <message>
            <source>调整对比度</source>
            <translation>Adjust the contrast</translation>
        </message>
        <message>
            <source>颜色调试参数</source>
            <translation>Colour Settings</translation>
        </message>
        <message>
            <source>图片最多只能包含%1张图片！</source>
            <translation>The picture list can hold at most %1 pictures!</translation>
        </message>
        <message>
            <source>提示</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>LED数量被修改.</source>
            <translation>The number of LEDs has been changed.</translation>
        </message>
        <message>
            <source>分辨率被修改.</source>
            <translation>The resolution has been changed.</translation>
        </message>
        <message>
            <source>所有的打开的图片效果将会被删除，是否继续？</source>
            <translation>All the pictures and clips in the playlist will be deleted. Continue?</translation>
        </message>
        <message>
            <source>dialog_ask_replace_playlist</source>
            <translation>The playlist holds %1 picture(s) and %2 clip(s). What is read replaces them all. Continue?</translation>
        </message>
        <message>
            <source>gif (*.gif)</source>
            <translation>GIF pictures (*.gif)</translation>
        </message>
        <message>
            <source>diy_save_failed</source>
            <translation>The drawing could not be saved as %1. Check that the disk has room and can be written to, then try again.</translation>
        </message>
        <message>
            <source>dialog_factory_geometry</source>
            <translation>Reset sets the fan to the factory blade of %1 LEDs and %2 lines (now %3 LEDs and %4 lines); pictures imported afterwards are made for it.</translation>
        </message>
        <message>
            <source>dialog_factory_geometry_set</source>
            <translation>The fan was set to the factory blade of %1 LEDs and %2 lines all the same.</translation>
        </message>
    </context>
    <context>
        <name>ImageObjectWidget</name>
        <message>
            <source>imgwidget_lbl_text2</source>
            <translation>%1 </translation>
        </message>
        <message>
            <source>imgwidget_lbl_text3</source>
            <translation>Show</translation>
        </message>
        <message>
            <source>imgwidget_lbl_text4</source>
            <translation>s</translation>
        </message>
        <message>
            <source>imgwidget_time_refused</source>
            <translation>A picture is shown for 0.1 to 100 seconds; it stays at %1 s.</translation>
        </message>
    </context>
    <context>
        <name>ListImageItemDelegate</name>
        <message>
            <source>imgwidget_lbl_text2</source>
            <translation>%1 </translation>
        </message>
        <message>
            <source>imgwidget_lbl_text3</source>
            <translation>Show</translation>
        </message>
        <message>
            <source>imgwidget_lbl_text4</source>
            <translation>s</translation>
        </message>
    </context>
    <context>
        <name>MediaObjectWidget</name>
        <message>
            <source>videowidget_lbl_text</source>
            <translation>%1 picture, show %2 s</translation>
        </message>
        <message>
            <source>videowidget_lbl_loopcount</source>
            <translation>Cycle times</translation>
        </message>
        <message>
            <source>videowidget_loop_refused</source>
            <translation>A clip plays 1 to 255 times; it stays at %1.</translation>
        </message>
    </context>
    <context>
        <name>ListMediaItemDelegate</name>
        <message>
            <source>videowidget_lbl_text</source>
            <translation>%1 picture, show %2 s</translation>
        </message>
    </context>
    <context>
        <name>ProgressDialog</name>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>action_btn_cancel</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>SelectUsbPathDialog</name>
        <message>
            <source>selectusb_preview_note</source>
            <translation>Preview reads only the file "Z1.bin" at the top of the chosen drive or folder, not in its subfolders.</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>选择U盘路径</source>
            <translation>Please select U disk path.</translation>
        </message>
        <message>
            <source>当前检测到的所有U盘：</source>
            <translation>All the current U disk detected:</translation>
        </message>
        <message>
            <source>选择文件夹…</source>
            <translation>Choose Folder…</translation>
        </message>
        <message>
            <source>selectusb_title</source>
            <translation>Please select U disk path.</translation>
        </message>
        <message>
            <source>selectusb_folder_title</source>
            <translation>Choose the folder to save the effect file in</translation>
        </message>
        <message>
            <source>selectusb_folder_title_preview</source>
            <translation>Choose the folder that holds the effect file Z1.bin</translation>
        </message>
    </context>
    <context>
        <name>GetSaveFileDialog</name>
        <message>
            <source>确定</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>请输入保存的文件名</source>
            <translation>Enter the file name</translation>
        </message>
        <message>
            <source>请输入保存的文件名，最多能输入4个汉字或者8个字符！</source>
            <translation>Enter the name of the file to save: at most 4 Chinese characters or 8 characters!</translation>
        </message>
        <message>
            <source>savefile_name_separator</source>
            <translation>The name cannot contain "%1": the file would be written outside the chosen drive. Enter a name without / or \.</translation>
        </message>
        <message>
            <source>savefile_name_dots</source>
            <translation>The name cannot be made of dots only. Enter a name with letters or digits.</translation>
        </message>
        <message>
            <source>savefile_name_forbidden</source>
            <translation>The name cannot contain "%1": U disks do not accept the characters &lt; &gt; : " | ? *. Enter another name.</translation>
        </message>
        <message>
            <source>savefile_name_control</source>
            <translation>The name contains an invisible control character (U+%1). Type the name again.</translation>
        </message>
        <message>
            <source>savefile_name_empty</source>
            <translation>Enter a name for the effect file (letters or digits, at most 8).</translation>
        </message>
    </context>
    <context>
        <name>DownloadStatus</name>
        <message>
            <source>download_unknown_error</source>
            <translation>unknown error</translation>
        </message>
        <message>
            <source>download_fail_cancelled</source>
            <translation>The download to %1 was stopped; the drive was not changed.</translation>
        </message>
        <message>
            <source>download_fail_space</source>
            <translation>Not enough free space for %1: the effect file needs %2 MB, but only %3 MB are free. Delete files from the drive or choose another drive.</translation>
        </message>
        <message>
            <source>download_fail_open</source>
            <translation>Cannot create %1: %2. Check that the drive is still plugged in and not write-protected.</translation>
        </message>
        <message>
            <source>download_fail_write</source>
            <translation>Writing %1 failed: %2. The drive may have been removed or be full. The previous file on the drive was kept.</translation>
        </message>
        <message>
            <source>download_fail_picture</source>
            <translation>Picture %2 of the picture list cannot be read, so %1 was not written. Remove the picture from the list or import it again.</translation>
        </message>
        <message>
            <source>download_fail_frame</source>
            <translation>Frame %3 of clip %2 cannot be read, so %1 was not written. Remove the clip from the list or import it again.</translation>
        </message>
        <message>
            <source>download_fail_commit</source>
            <translation>The new %1 could not replace the previous file: %2. The previous file was kept.</translation>
        </message>
        <message>
            <source>download_fail_sync</source>
            <translation>%1 was written, but the drive did not confirm that it stored it (%2). Do not remove the drive; download again.</translation>
        </message>
    </context>
    <context>
        <name>DownloadPrompts</name>
        <message>
            <source>download_warn_entries</source>
            <translation>The playlist needs %1 entries, but an effect file holds %2: the pictures and clips after entry %2 are stored but will not be played. Download anyway?</translation>
        </message>
        <message>
            <source>download_btn_eject</source>
            <translation>Eject Drive</translation>
        </message>
        <message>
            <source>download_eject_done</source>
            <translation>The drive was ejected. It is now safe to remove it.</translation>
        </message>
        <message>
            <source>download_eject_failed</source>
            <translation>The drive could not be ejected: %1. Close the programs that use it, then eject it from the file manager.</translation>
        </message>
        <message>
            <source>download_ask_empty</source>
            <translation>The playlist is empty: the file would hold no picture and the display would show nothing. Download all the same?</translation>
        </message>
        <message>
            <source>download_ask_show_times</source>
            <translation>The file holds show times from 0.1 s to 25.5 s. These pictures will get another time:
%1
Download all the same?</translation>
        </message>
        <message>
            <source>download_time_line</source>
            <translation>Picture %1: %2 s becomes %3 s</translation>
        </message>
        <message>
            <source>download_time_more</source>
            <translation>… and %1 more</translation>
        </message>
        <message>
            <source>download_ask_replace</source>
            <translation>%1 is already on the drive. Replace it?</translation>
        </message>
    </context>
    <context>
        <name>UDisks</name>
        <message>
            <source>eject_no_service</source>
            <translation>the system's disk service (udisks2) is not running</translation>
        </message>
    </context>
    <context>
        <name>LoadImagesDialog</name>
        <message>
            <source>loadimg_loading_tip</source>
            <translation>Importing picture %1 of %2</translation>
        </message>
        <message>
            <source>loadimg_loading_showpath</source>
            <translation>Picture file: %1</translation>
        </message>
        <message>
            <source>action_btn_load_over</source>
            <translation>Import completed</translation>
        </message>
        <message>
            <source>action_btn_cancel</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>loadimg_window_title</source>
            <translation>Import Image</translation>
        </message>
        <message>
            <source>loadimg_error_missing</source>
            <translation>the file no longer exists</translation>
        </message>
        <message>
            <source>loadimg_error_cannot_open</source>
            <translation>the file cannot be opened for reading</translation>
        </message>
        <message>
            <source>loadimg_error_format</source>
            <translation>it is not a PNG or JPG picture</translation>
        </message>
        <message>
            <source>loadimg_error_damaged</source>
            <translation>the picture data is damaged or incomplete</translation>
        </message>
        <message>
            <source>loadimg_error_too_large</source>
            <translation>the picture has too many pixels to be read</translation>
        </message>
        <message>
            <source>loadimg_error_line</source>
            <translation>%1: %2</translation>
        </message>
        <message>
            <source>loadimg_error_report</source>
            <translation>%1 file(s) could not be read and were not imported:
%2
Check these files, or save them again as PNG or JPG, and import them again.</translation>
        </message>
        <message>
            <source>loadimg_error_memory</source>
            <translation>there was not enough memory to convert it</translation>
        </message>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>loadimg_imported_none</source>
            <translation>No picture was imported.</translation>
        </message>
        <message>
            <source>loadimg_imported_count</source>
            <translation>%1 picture(s) were imported.</translation>
        </message>
        <message>
            <source>loadimg_damaged_report</source>
            <translation>These pictures were decoded with errors: part of each is missing and shows as a grey or black area:
%1
Keep them in the picture list, or remove them?</translation>
        </message>
        <message>
            <source>loadimg_keep_damaged</source>
            <translation>Keep</translation>
        </message>
        <message>
            <source>loadimg_remove_damaged</source>
            <translation>Remove</translation>
        </message>
    </context>
    <context>
        <name>UpdateGeometryDialog</name>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>UpdateLedCountDialog</name>
        <message>
            <source>dialog_led_count_range</source>
            <translation>The number of LEDs must be from %1 to %2. Enter a number in this range.</translation>
        </message>
        <message>
            <source>修改LED数量</source>
            <translation>Change the LED Count</translation>
        </message>
        <message>
            <source>LED数量：</source>
            <translation>LEDs:</translation>
        </message>
    </context>
    <context>
        <name>UpdateLineNumberDialog</name>
        <message>
            <source>dialog_line_number_range</source>
            <translation>The resolution (lines per turn) must be from %1 to %2. Enter a number in this range.</translation>
        </message>
        <message>
            <source>修改分辨率</source>
            <translation>Change the Resolution</translation>
        </message>
        <message>
            <source>分辨率：</source>
            <translation>Resolution:</translation>
        </message>
    </context>
    <context>
        <name>UpdateImageContract</name>
        <message>
            <source>updatecontract_lbl_title</source>
            <translation>Contrast:</translation>
        </message>
        <message>
            <source>action_btn_ok</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>updatecontract_btn_title</source>
            <translation>Adjust the contrast</translation>
        </message>
        <message>
            <source>updatecontract_lbl_nosource</source>
            <translation>The picture file "%1" cannot be read, so its contrast cannot be changed. Import the picture again to adjust it.</translation>
        </message>
    </context>
    <context>
        <name>SettingColorForm</name>
        <message>
            <source>颜色参数设置</source>
            <translation>Colour Settings</translation>
        </message>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>colorform_btn_defaults</source>
            <translation>Restore Defaults</translation>
        </message>
        <message>
            <source>colorform_btn_load</source>
            <translation>Load…</translation>
        </message>
        <message>
            <source>colorform_btn_save</source>
            <translation>Save…</translation>
        </message>
        <message>
            <source>colorform_ask_defaults</source>
            <translation>Replace the whole table with the factory values? The values shown now are lost unless you save them first.</translation>
        </message>
        <message>
            <source>colorform_save_title</source>
            <translation>Save the Colour Table</translation>
        </message>
        <message>
            <source>colorform_load_title</source>
            <translation>Load a Colour Table</translation>
        </message>
        <message>
            <source>colorform_file_filter</source>
            <translation>Colour tables (*.txt);;All files (*)</translation>
        </message>
        <message>
            <source>colorform_save_failed</source>
            <translation>Cannot write %1: %2. The table was not saved; choose another folder.</translation>
        </message>
        <message>
            <source>colorform_load_failed</source>
            <translation>%1 was not loaded, the table is unchanged:
%2</translation>
        </message>
    </context>
    <context>
        <name>CalibrationFile</name>
        <message>
            <source>calib_error_size</source>
            <translation>The file is too large to be a colour table (32 lines of R G B).</translation>
        </message>
        <message>
            <source>calib_error_extra</source>
            <translation>Line %1: a colour table has only %2 rows.</translation>
        </message>
        <message>
            <source>calib_error_line</source>
            <translation>Line %1: "%2" is not three levels from 0 to 255 (R G B).</translation>
        </message>
        <message>
            <source>calib_error_rows</source>
            <translation>The file holds %1 rows; a colour table has %2 (R G B per line).</translation>
        </message>
    </context>
    <context>
        <name>DiyForm</name>
        <message>
            <source>DIY图形</source>
            <translation>DIY</translation>
        </message>
        <message>
            <source>画图工具</source>
            <translation>Drawing tools</translation>
        </message>
        <message>
            <source>选择DIY样式：</source>
            <translation>DIY style:</translation>
        </message>
        <message>
            <source>画笔</source>
            <translation>Pen</translation>
        </message>
        <message>
            <source>矩形</source>
            <translation>Rect</translation>
        </message>
        <message>
            <source>直线</source>
            <translation>Line</translation>
        </message>
        <message>
            <source>移动</source>
            <translation>Move</translation>
        </message>
        <message>
            <source>椭圆</source>
            <translation>Oval</translation>
        </message>
        <message>
            <source>圆矩</source>
            <translation>RRect</translation>
        </message>
        <message>
            <source>文本</source>
            <translation>Text</translation>
        </message>
        <message>
            <source>擦写</source>
            <translation>Erase</translation>
        </message>
        <message>
            <source>画笔类型：</source>
            <translation>Brush type:</translation>
        </message>
        <message>
            <source>实线</source>
            <translation>The solid line</translation>
        </message>
        <message>
            <source>点线</source>
            <translation>The dotted line</translation>
        </message>
        <message>
            <source>画笔线宽：</source>
            <translation>Brush width:</translation>
        </message>
        <message>
            <source>画笔颜色：</source>
            <translation>Pen color:</translation>
        </message>
        <message>
            <source>填充颜色：</source>
            <translation>Fill color:</translation>
        </message>
        <message>
            <source>字体：</source>
            <translation>Font:</translation>
        </message>
        <message>
            <source>选择字体</source>
            <translation>Select the font</translation>
        </message>
        <message>
            <source>字体颜色：</source>
            <translation>Font color:</translation>
        </message>
        <message>
            <source>文字排列方式：</source>
            <translation>Arrangement of text:</translation>
        </message>
        <message>
            <source>水平排列</source>
            <translation>Horizontal</translation>
        </message>
        <message>
            <source>垂直排列</source>
            <translation>Vertical</translation>
        </message>
        <message>
            <source>环形排列</source>
            <translation>Round</translation>
        </message>
        <message>
            <source>半径：</source>
            <translation>Radius:</translation>
        </message>
        <message>
            <source>背景颜色：</source>
            <translation>Background color:</translation>
        </message>
        <message>
            <source>放大</source>
            <translation>ZoomIn</translation>
        </message>
        <message>
            <source>缩小</source>
            <translation>ZoomOut</translation>
        </message>
        <message>
            <source>撤销</source>
            <translation>Revoke</translation>
        </message>
        <message>
            <source>画完了</source>
            <translation>Ok</translation>
        </message>
        <message>
            <source>放弃DIY效果</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>diyform_save_diy_tip</source>
            <translation>Do you want to save the DIY effect to the computer?</translation>
        </message>
        <message>
            <source>diyform_save_diy_selectfile</source>
            <translation>Save the DIY effect</translation>
        </message>
        <message>
            <source>diyform_cancel_diy_title</source>
            <translation>Really want to give up the effect of DIY?</translation>
        </message>
        <message>
            <source>diyform_lblfont_title</source>
            <translation>Font name:%1
 font size:%2</translation>
        </message>
        <message>
            <source>diyform_save_diy_failed</source>
            <translation>The DIY effect could not be saved as %1. Check that the folder exists and can be written to, then try again.</translation>
        </message>
        <message>
            <source>diyform_tip_pen</source>
            <translation>Pen: draw freehand strokes</translation>
        </message>
        <message>
            <source>diyform_tip_rect</source>
            <translation>Rectangle: drag it out, drag its frame to move it; click elsewhere or press Return to stamp it, Delete drops it</translation>
        </message>
        <message>
            <source>diyform_tip_line</source>
            <translation>Line: drag it out, drag its frame to move it; click elsewhere or press Return to stamp it, Delete drops it</translation>
        </message>
        <message>
            <source>diyform_tip_oval</source>
            <translation>Oval: drag it out, drag its frame to move it; click elsewhere or press Return to stamp it, Delete drops it</translation>
        </message>
        <message>
            <source>diyform_tip_rrect</source>
            <translation>Rounded rectangle: drag it out, drag its frame to move it; click elsewhere or press Return to stamp it, Delete drops it</translation>
        </message>
        <message>
            <source>diyform_tip_move</source>
            <translation>Move the round output area: the fan shows what lies inside the red circle</translation>
        </message>
        <message>
            <source>diyform_tip_text</source>
            <translation>Text: click, type and press Return; drag the text, then click elsewhere or press Return to stamp it</translation>
        </message>
        <message>
            <source>diyform_tip_erase</source>
            <translation>Eraser: paint with the background color</translation>
        </message>
        <message>
            <source>diyform_tip_zoomin</source>
            <translation>Zoom in (Ctrl++)</translation>
        </message>
        <message>
            <source>diyform_tip_zoomout</source>
            <translation>Zoom out (Ctrl+-)</translation>
        </message>
        <message>
            <source>diyform_tip_revoke</source>
            <translation>Undo (Ctrl+Z)</translation>
        </message>
        <message>
            <source>diyform_fan_preview</source>
            <translation>Fan preview</translation>
        </message>
        <message>
            <source>diyform_tip_fan_preview</source>
            <translation>What the fan will show: the round output area, a shape not yet stamped included</translation>
        </message>
        <message>
            <source>重做</source>
            <translation>Redo</translation>
        </message>
        <message>
            <source>diyform_tip_redo</source>
            <translation>Redo (Ctrl+Y, Ctrl+Shift+Z)</translation>
        </message>
    </context>
    <context>
        <name>GetImgeLocationDialog</name>
        <message>
            <source>放大图片</source>
            <translation>ZoomIn</translation>
        </message>
        <message>
            <source>缩小图片</source>
            <translation>ZoomOut</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>Ok</translation>
        </message>
    </context>
    <context>
        <name>LoadGifDialog</name>
        <message>
            <source>loadgif_loading_tip</source>
            <translation>Importing GIF pictures,Please don't cancel!</translation>
        </message>
        <message>
            <source>action_btn_cancel</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>loadgif_error</source>
            <translation>Cannot import the GIF file %1: %2 Nothing was added to the video list.</translation>
        </message>
        <message>
            <source>loadgif_error_missing</source>
            <translation>The file does not exist.</translation>
        </message>
        <message>
            <source>loadgif_error_cannot_open</source>
            <translation>The file cannot be opened; check that it is a file you may read.</translation>
        </message>
        <message>
            <source>loadgif_error_not_gif</source>
            <translation>It is not a GIF picture.</translation>
        </message>
        <message>
            <source>loadgif_error_no_frames</source>
            <translation>It holds no frames.</translation>
        </message>
        <message>
            <source>loadgif_error_cut_short</source>
            <translation>The file ends before frame %1 is complete: it was cut short.</translation>
        </message>
        <message>
            <source>loadgif_error_damaged</source>
            <translation>The file is damaged where frame %1 should begin.</translation>
        </message>
        <message>
            <source>loadgif_error_frame</source>
            <translation>Frame %1 of %2 cannot be decoded.</translation>
        </message>
        <message>
            <source>loadgif_error_memory</source>
            <translation>There is not enough memory for frame %1.</translation>
        </message>
        <message>
            <source>loadgif_error_write</source>
            <translation>Frame %1 could not be written to %2; check the free space on the disk.</translation>
        </message>
        <message>
            <source>loadgif_place_title</source>
            <translation>Import GIF - Drag the round window to the part the fan shows</translation>
        </message>
        <message>
            <source>loadgif_keep_timing</source>
            <translation>Keep the GIF's timing</translation>
        </message>
        <message>
            <source>loadgif_card_space</source>
            <translation>%1 frames on the card (%2 s), %3 MB</translation>
        </message>
    </context>
    <context>
        <name>LoadMediaDialog</name>
        <message>
            <source>loadvideo_tip</source>
            <translation>Import video</translation>
        </message>
        <message>
            <source>loadvideo_tip2</source>
            <translation>Import video - </translation>
        </message>
        <message>
            <source>loadvideo_select_file</source>
            <translation>Select the video file</translation>
        </message>
        <message>
            <source>loadvideo_init_player_error</source>
            <translation>Failed to initialize, cannot play video!</translation>
        </message>
        <message>
            <source>loadvideo_player_error</source>
            <translation>Failed to play!</translation>
        </message>
        <message>
            <source>loadvideo_loading_tip</source>
            <translation>Please do not cancel!</translation>
        </message>
        <message>
            <source>%1hour%2minute%3second</source>
            <translation>%1H %2M %3S</translation>
        </message>
        <message>
            <source>dialog_title_tip</source>
            <translation>Tip</translation>
        </message>
        <message>
            <source>拖动时间进度条可以设定截图的开始时间和结束时间：</source>
            <translation>Drag the sliders to set where the span starts and ends:</translation>
        </message>
        <message>
            <source>开始时间：</source>
            <translation>Start Time:</translation>
        </message>
        <message>
            <source>结束时间：</source>
            <translation>End Time:</translation>
        </message>
        <message>
            <source>开始截图</source>
            <translation>Start</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>loadvideo_vlc_init_error</source>
            <translation>Could not init libVLC: videos cannot be imported. Install VLC's libraries and plugins (libvlc5, vlc-plugin-base) and start the program again.</translation>
        </message>
        <message>
            <source>loadvideo_cut_error</source>
            <translation>Cutting the video failed: %1 No clip was added; try another span or file.</translation>
        </message>
        <message>
            <source>loadvideo_no_picture</source>
            <translation>the video gave no picture at %1 s.</translation>
        </message>
        <message>
            <source>loadvideo_no_length</source>
            <translation>The length of this video cannot be read, so no span of it can be chosen. Convert it to MP4 or MKV and import it again.</translation>
        </message>
        <message>
            <source>loadvideo_no_video_stream</source>
            <translation>%1 holds no video stream, so no pictures can be cut from it. Choose a video file. Nothing was added to the video list.</translation>
        </message>
        <message>
            <source>loadvideo_still_picture</source>
            <translation>%1 is a picture, not a video. Import pictures with Import Picture and GIF animations with Import GIF Picture. Nothing was added to the video list.</translation>
        </message>
    </context>
</TS>
