# English texts of every language-table section, in table order; element 0 is the heading row.
SECTIONS = [
    ("Menu bar", "Menu bar", [
        "File", "Add Video", "Clear File List", "Snapshot", "Exit",
        "Settings", "Language", "Style", "White", "Black",
        "Speed Unit", "mph", "km/h", "Date Format", "DD/MM/YYYY",
        "MM/DD/YYYY", "YYYY/MM/DD", "Maps", "Web Map", "Open Street Map",
        "Play Next File Automatically", "Factory Settings", "View", "Dual View", "Swap Pictures",
        "Location", "Left Top", "Top", "Right Top", "Left",
        "Right", "Left Bottom", "Bottom", "Right Bottom", "Flip Main Camera",
        "Flip Second Camera", "Tools", "Share", "Calendar", "Player",
        "Delete Ride Data", "Watermark", "Update Firmware", "Update Application", "Help",
        "Instruction", "About", "Picture in Picture", "Snapshot saved.", "Video Adjustment",
    ]),
    ("Show data", "Show data", [
        "mph", "kmh", "Sensor", "Time", "Latitude", "Longitude", "Distance", "Compass",
        "Avg. Speed", "\"Max Speed\"",
    ]),
    ("List", "List", [
        "Add", "Remove", "Group", "Ungroup", "File", "Date", "Size", "Duration", "Resolution",
    ]),
    ("Edit mode", "Edit mode", [
        "Edit", "Cut Time", "OK", "Cancel", "Play", "Pause", "Stop", "Previous", "Next",
        "Previous Frame", "Next Frame", "Speed", "Volume", "Mute", "Zoom", "Full Screen",
        "Picture in Picture", "Sync", "Brightness", "Saturation", "Vertical Flip", "Reset",
    ]),
    ("Edit dialog", "Edit dialog", [
        "Output Setting", "Audio & Data", "Remove the audio.", "Remove the GPS and G-Sensor data.",
        "Combine Videos", "Picture in Picture", "Left and Right", "Choose Video Folder",
        "Select Folder", "OK", "Cancel", "Process Video", "Processing Video...", "Please Wait.",
        "Finished.", "Open Folder", "Please ungroup the files before editing.", "Body Data",
        "Are you sure to delete the files?",
        "\"We can't find any file in your computer/storage,\"",
        "please select the folder by manual.", "Press the OK button to select the folder.",
        "Upload failed, please check your internet connection. ", "OK: Back to the first page.",
        "Cancel: Exit the share mode.", "The video length needs to more than the 1 second.",
        "The Share function only supports the main video.",
        "The Edit function only supports the main video.", "Don't show again.",
        "Insufficient disk space.\\nPlease re-select the output/destination drive.",
        "Unable to edit.",
        "Video Clips Grouping not matched\\n(Video clips in the playlist are not from the same device).",
        "Make sure that Video Clips Grouping are from the same device\\nbefore editing.",
        # why an export failed
        "ffmpeg was not found. Please install ffmpeg or put it into the FFmpeg folder.",
        "The output folder cannot be written. Please choose another folder.",
        "ffmpeg reported:",
    ]),
    ("Exit edit mode", "Exit edit mode", [
        "Notice", "You Haven't Output Your Video Yet,", "Are You Sure to Leave Without Saving?",
        "Yes", "No",
    ]),
    ("About", "About", [
        "About TALVEX VIDEO PLAYER ", "About", "License", "2023 TALVEX Technology Co., Ltd.",
        "\"TALVEX VIDEO PLAYER Version:\"", "All rights reserved.",
    ]),
    ("Share Videos", "Share Videos", [
        "Share Videos", "Choose Videos", "Choose Platform", "Uploading Videos", "Upload Completed",
        "Step 1. Choose Videos", "Use Current Video", "Use Other Video", "Select Folder", "Next >",
        "Step 2. Choose Platform", "< Back", "\"Step 3. Upload Videos\"", "<  Cancel",
        "\"Step 4. Upload Completed\"", "OK", "\"Uploading Videos to Youtube \u2026\"",
        "\"Please Wait.\"", "Videos Upload To Youtube Successfully.", "Public", "Private",
        "Unlisted", "Privacy :", "Title :", "Auto",
        "The sign-in continues in your browser. Back gives it up.",
        "Sharing is not set up in this build.",
    ]),
    ("FAQ", "FAQ", [
        "Instruction", "Contents", "Introduction of UI", "Edit your Video", "Share your Video",
        "Ride Data",
    ]),
    ("File Dialog", "File Dialog", [
        "Open File", "Select Save Folder", "Select Folder", "Select", "Open", "Cancel", "Desktop",
    ]),
    ("Update", "", [
        "Next >", "< Back", "<  Cancel", "Retry", "OK", "Please Wait.",
    ]),
    ("Notices", "Notices", [
        "Please enter a file name after the folder.",
        "The output folder cannot be created. Please choose another folder.",
        "The output folder is not writable. Please choose another folder.",
        "%1 cannot be played. The file is missing, not a video or damaged.",
        "The settings cannot be saved in %1. Changes apply until the player is closed.",
        "Notice",
    ]),
]
