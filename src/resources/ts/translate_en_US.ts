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
            <source>dialog_title_importing</source>
            <translation>Importing pictures, please wait...</translation>
        </message>
        <message>
            <source>dialog_title_import_failed</source>
            <translation>These files are not pictures that can be read, or could not be copied into the temporary directory:
%1</translation>
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
            <translation> </translation>
        </message>
        <message>
            <source>imgwidget_lbl_text4</source>
            <translation>s</translation>
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
            <translation> </translation>
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
</TS>
