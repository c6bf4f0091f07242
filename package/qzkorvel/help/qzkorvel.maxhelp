{
	"patcher" : {
		"fileversion" : 1,
		"appversion" : {
			"major" : 8,
			"minor" : 6,
			"revision" : 0,
			"architecture" : "x64",
			"modernui" : 1
		},
		"classnamespace" : "box",
		"rect" : [ 100.0, 100.0, 780.0, 620.0 ],
		"bglocked" : 0,
		"openinpresentation" : 0,
		"default_fontsize" : 12.0,
		"default_fontface" : 0,
		"default_fontname" : "Arial",
		"gridonopen" : 1,
		"gridsize" : [ 15.0, 15.0 ],
		"gridsnaponopen" : 1,
		"objectsnaponopen" : 1,
		"statusbarvisible" : 2,
		"toolbarvisible" : 1,
		"description" : "",
		"digest" : "",
		"tags" : "",
		"style" : "",
		"boxes" : [
			{
				"box" : {
					"fontface" : 1,
					"fontsize" : 24.0,
					"id" : "obj-1",
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 15.0, 10.0, 150.0, 33.0 ],
					"text" : "qzkorvel"
				}
			},
			{
				"box" : {
					"id" : "obj-2",
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 15.0, 45.0, 730.0, 20.0 ],
					"text" : "Keeps a vst~ plug-in's editor on top of your patch, hides it while Max is in the background, and remembers where it was."
				}
			},
			{
				"box" : {
					"id" : "obj-3",
					"maxclass" : "newobj",
					"numinlets" : 2,
					"numoutlets" : 8,
					"outlettype" : [ "signal", "signal", "", "list", "int", "", "", "" ],
					"patching_rect" : [ 570.0, 300.0, 140.0, 22.0 ],
					"text" : "vst~ 2 2 MyPlugin.dll",
					"varname" : "synth"
				}
			},
			{
				"box" : {
					"id" : "obj-4",
					"linecount" : 5,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 570.0, 327.0, 180.0, 76.0 ],
					"text" : "This vst~ box has the scripting name \"synth\" (select it, then Object menu > Name...). Load your own plug-in into it; qzkorvel follows whatever it loads."
				}
			},
			{
				"box" : {
					"id" : "obj-5",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 15.0, 300.0, 95.0, 22.0 ],
					"text" : "qzkorvel synth"
				}
			},
			{
				"box" : {
					"id" : "obj-6",
					"linecount" : 2,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 120.0, 292.0, 300.0, 33.0 ],
					"text" : "qzkorvel's argument is the scripting name of the vst~ box it controls, in this patcher."
				}
			},
			{
				"box" : {
					"id" : "obj-7",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 15.0, 132.0, 40.0, 22.0 ],
					"text" : "open"
				}
			},
			{
				"box" : {
					"id" : "obj-8",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 60.0, 132.0, 85.0, 22.0 ],
					"text" : "open 100 200"
				}
			},
			{
				"box" : {
					"id" : "obj-9",
					"linecount" : 3,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 15.0, 80.0, 175.0, 47.0 ],
					"text" : "Open the editor; with x y, its content starts at that point of the screen."
				}
			},
			{
				"box" : {
					"id" : "obj-10",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 200.0, 132.0, 75.0, 22.0 ],
					"text" : "pos 300 200"
				}
			},
			{
				"box" : {
					"id" : "obj-11",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 280.0, 132.0, 85.0, 22.0 ],
					"text" : "pos -12345 0"
				}
			},
			{
				"box" : {
					"id" : "obj-12",
					"linecount" : 3,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 200.0, 80.0, 175.0, 47.0 ],
					"text" : "Move it there; pos -12345 0 centres it on the display under the mouse."
				}
			},
			{
				"box" : {
					"id" : "obj-13",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 385.0, 132.0, 38.0, 22.0 ],
					"text" : "hide"
				}
			},
			{
				"box" : {
					"id" : "obj-14",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 428.0, 132.0, 40.0, 22.0 ],
					"text" : "show"
				}
			},
			{
				"box" : {
					"id" : "obj-15",
					"linecount" : 3,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 385.0, 80.0, 175.0, 47.0 ],
					"text" : "Hide it and show it again without closing it."
				}
			},
			{
				"box" : {
					"id" : "obj-16",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 570.0, 132.0, 42.0, 22.0 ],
					"text" : "close"
				}
			},
			{
				"box" : {
					"id" : "obj-17",
					"linecount" : 3,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 570.0, 80.0, 175.0, 47.0 ],
					"text" : "Close the editor."
				}
			},
			{
				"box" : {
					"id" : "obj-18",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 15.0, 227.0, 150.0, 22.0 ],
					"text" : "state 100 200 640 480 1"
				}
			},
			{
				"box" : {
					"id" : "obj-19",
					"linecount" : 4,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 15.0, 160.0, 175.0, 62.0 ],
					"text" : "Restore a state list: x y width height, then 0 closed, 1 shown or 2 hidden."
				}
			},
			{
				"box" : {
					"id" : "obj-20",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 200.0, 227.0, 55.0, 22.0 ],
					"text" : "debug 1"
				}
			},
			{
				"box" : {
					"id" : "obj-21",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 260.0, 227.0, 55.0, 22.0 ],
					"text" : "debug 0"
				}
			},
			{
				"box" : {
					"id" : "obj-22",
					"linecount" : 4,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 200.0, 160.0, 175.0, 62.0 ],
					"text" : "Print what qzkorvel does in the Max window (or @debug 1 in the box)."
				}
			},
			{
				"box" : {
					"id" : "obj-23",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 385.0, 227.0, 75.0, 22.0 ],
					"text" : "stayontop 1"
				}
			},
			{
				"box" : {
					"id" : "obj-24",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 465.0, 227.0, 75.0, 22.0 ],
					"text" : "stayontop 0"
				}
			},
			{
				"box" : {
					"id" : "obj-25",
					"linecount" : 4,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 385.0, 160.0, 175.0, 62.0 ],
					"text" : "Keep the editor visible while Max is in the background (or @stayontop 1)."
				}
			},
			{
				"box" : {
					"id" : "obj-26",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 570.0, 227.0, 40.0, 22.0 ],
					"text" : "clear"
				}
			},
			{
				"box" : {
					"id" : "obj-27",
					"linecount" : 4,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 570.0, 160.0, 175.0, 62.0 ],
					"text" : "Close the editor and rebuild the vst~ box from its text, as if you retyped it."
				}
			},
			{
				"box" : {
					"id" : "obj-28",
					"maxclass" : "newobj",
					"numinlets" : 5,
					"numoutlets" : 5,
					"outlettype" : [ "", "", "", "", "" ],
					"patching_rect" : [ 15.0, 360.0, 420.0, 22.0 ],
					"text" : "route pluginname savedpluginname delay state"
				}
			},
			{
				"box" : {
					"id" : "obj-29",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 0,
					"outlettype" : [  ],
					"patching_rect" : [ 450.0, 360.0, 85.0, 22.0 ],
					"text" : "print qzkorvel"
				}
			},
			{
				"box" : {
					"id" : "obj-30",
					"linecount" : 2,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 450.0, 387.0, 100.0, 33.0 ],
					"text" : "Every report, in the Max window."
				}
			},
			{
				"box" : {
					"id" : "obj-31",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 15.0, 400.0, 75.0, 22.0 ],
					"text" : "prepend set"
				}
			},
			{
				"box" : {
					"id" : "obj-32",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 15.0, 435.0, 100.0, 22.0 ],
					"text" : ""
				}
			},
			{
				"box" : {
					"id" : "obj-33",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 120.0, 400.0, 75.0, 22.0 ],
					"text" : "prepend set"
				}
			},
			{
				"box" : {
					"id" : "obj-34",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 120.0, 435.0, 100.0, 22.0 ],
					"text" : ""
				}
			},
			{
				"box" : {
					"id" : "obj-35",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 225.0, 400.0, 75.0, 22.0 ],
					"text" : "prepend set"
				}
			},
			{
				"box" : {
					"id" : "obj-36",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 225.0, 435.0, 100.0, 22.0 ],
					"text" : ""
				}
			},
			{
				"box" : {
					"id" : "obj-37",
					"maxclass" : "newobj",
					"numinlets" : 1,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 330.0, 400.0, 75.0, 22.0 ],
					"text" : "prepend set"
				}
			},
			{
				"box" : {
					"id" : "obj-38",
					"maxclass" : "message",
					"numinlets" : 2,
					"numoutlets" : 1,
					"outlettype" : [ "" ],
					"patching_rect" : [ 330.0, 435.0, 135.0, 22.0 ],
					"text" : ""
				}
			},
			{
				"box" : {
					"id" : "obj-39",
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 15.0, 462.0, 100.0, 20.0 ],
					"text" : "plug-in name"
				}
			},
			{
				"box" : {
					"id" : "obj-40",
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 120.0, 462.0, 100.0, 20.0 ],
					"text" : "saved name"
				}
			},
			{
				"box" : {
					"id" : "obj-41",
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 225.0, 462.0, 100.0, 20.0 ],
					"text" : "delay (samples)"
				}
			},
			{
				"box" : {
					"id" : "obj-42",
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 330.0, 462.0, 135.0, 20.0 ],
					"text" : "state"
				}
			},
			{
				"box" : {
					"id" : "obj-43",
					"linecount" : 6,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 15.0, 490.0, 305.0, 92.0 ],
					"text" : "qzkorvel reports on its outlet: the plug-in name, the name saved with vst~ and the delay whenever it finds its vst~ or the plug-in changes; willchange just before a plug-in change; and state x y width height visible whenever the editor opens, moves, hides, shows or closes."
				}
			},
			{
				"box" : {
					"id" : "obj-44",
					"linecount" : 5,
					"maxclass" : "comment",
					"numinlets" : 1,
					"numoutlets" : 0,
					"patching_rect" : [ 350.0, 490.0, 400.0, 76.0 ],
					"text" : "To keep a place for the editor, copy a state list into a message box that starts with \"state\", like \"state 100 200 640 480 1\" above, and save it with your patch. Clicking it while the editor is closed reopens it there, shown (1) or hidden (2); an open editor only follows the last number (0 closes it). The size is the plug-in's own."
				}
			}
		],
		"lines" : [
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-7", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-8", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-10", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-11", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-13", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-14", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-16", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-18", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-20", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-21", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-23", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-24", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-5", 0 ],
					"source" : [ "obj-26", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-28", 0 ],
					"source" : [ "obj-5", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-29", 0 ],
					"source" : [ "obj-5", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-31", 0 ],
					"source" : [ "obj-28", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-32", 0 ],
					"source" : [ "obj-31", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-33", 0 ],
					"source" : [ "obj-28", 1 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-34", 0 ],
					"source" : [ "obj-33", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-35", 0 ],
					"source" : [ "obj-28", 2 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-36", 0 ],
					"source" : [ "obj-35", 0 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-37", 0 ],
					"source" : [ "obj-28", 3 ]
				}
			},
			{
				"patchline" : {
					"destination" : [ "obj-38", 0 ],
					"source" : [ "obj-37", 0 ]
				}
			}
		]
	}
}
