<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>commandline</name>
    <message>
        <source>Show this help and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renames a batch of files in one directory after one example name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open the file chooser there the first time Select is pressed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Try &apos;quillomat --help&apos; for more.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>one directory at most</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: no such directory</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About Quillomat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillomat  Version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright © 2026 The Quillomat developers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A file renaming utility</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>background-color: #ffffff;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>background-color: #808080;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning: this program is protected by copyright law. Copying or distributing it, in whole or in part, without the permission of its owners is prohibited. Offenders may be prosecuted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmDir</name>
    <message>
        <source>&amp;OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Quillomat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quillomat Version %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select the directory where you have files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>to rename and select the files to rename.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do not include the extension</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Mask</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Highlight one part of the above filename to keep and press</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set mask button, or skip this button to number all the files.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>If you missed a letter please add it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extract</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit the above mask if you missed a letter or two, then</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>press extract to see what the new name will look like.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Example Filename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Example new filename above, if you like it press rename to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rename all of the files that have the mask text in their name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double Click the file you want to use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Clear Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Set Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Quillomat</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmOptions</name>
    <message>
        <source>Quillomat Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Prefix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suffix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starting Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Consecutive Lettering Position</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
