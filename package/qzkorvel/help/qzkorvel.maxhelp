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
		"showrootpatcherontab" : 0,
		"showontab" : 0,
		"description" : "",
		"digest" : "",
		"tags" : "",
		"style" : "",
		"boxes" : [
			{
				"box" : {
					"id" : "obj-1",
					"maxclass" : "newobj",
					"numinlets" : 0,
					"numoutlets" : 0,
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
						"rect" : [ 100.0, 126.0, 780.0, 594.0 ],
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
						"showontab" : 1,
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
									"patching_rect" : [ 10.0, 10.0, 200.0, 33.0 ],
									"text" : "qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-2",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 45.0, 560.0, 20.0 ],
									"text" : "Place, hide, show and remember a vst~ plug-in editor window"
								}
							},
							{
								"box" : {
									"id" : "obj-3",
									"linecount" : 3,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 75.0, 560.0, 47.0 ],
									"text" : "qzkorvel keeps the editor of a vst~ plug-in on top of your patch, hides it while Max is in the background, and reports where it is. Its argument is the scripting name of a vst~ box in the same patcher: select the box, open the Inspector and set \"Scripting Name\"."
								}
							},
							{
								"box" : {
									"id" : "obj-4",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 140.0, 40.0, 22.0 ],
									"text" : "open"
								}
							},
							{
								"box" : {
									"id" : "obj-5",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 60.0, 140.0, 85.0, 22.0 ],
									"text" : "open 100 200"
								}
							},
							{
								"box" : {
									"id" : "obj-6",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 155.0, 140.0, 42.0, 22.0 ],
									"text" : "close"
								}
							},
							{
								"box" : {
									"id" : "obj-7",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 210.0, 134.0, 360.0, 33.0 ],
									"text" : "Open the editor: centred on the display under the mouse, or with its content at x y of the screen. Close it."
								}
							},
							{
								"box" : {
									"id" : "obj-8",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 200.0, 95.0, 22.0 ],
									"text" : "qzkorvel synth"
								}
							},
							{
								"box" : {
									"id" : "obj-9",
									"maxclass" : "newobj",
									"numinlets" : 2,
									"numoutlets" : 8,
									"outlettype" : [ "signal", "signal", "", "list", "int", "", "", "" ],
									"patching_rect" : [ 560.0, 200.0, 150.0, 22.0 ],
									"text" : "vst~ 2 2",
									"varname" : "synth"
								}
							},
							{
								"box" : {
									"id" : "obj-10",
									"linecount" : 5,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 560.0, 227.0, 200.0, 76.0 ],
									"text" : "This vst~ box has the scripting name synth. Load your own plug-in into it: qzkorvel follows whatever it loads."
								}
							},
							{
								"box" : {
									"id" : "obj-11",
									"maxclass" : "newobj",
									"numinlets" : 5,
									"numoutlets" : 5,
									"outlettype" : [ "", "", "", "", "" ],
									"patching_rect" : [ 10.0, 260.0, 420.0, 22.0 ],
									"text" : "route pluginname savedpluginname delay state"
								}
							},
							{
								"box" : {
									"id" : "obj-12",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 0,
									"outlettype" : [  ],
									"patching_rect" : [ 440.0, 260.0, 85.0, 22.0 ],
									"text" : "print qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-13",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 300.0, 75.0, 22.0 ],
									"text" : "prepend set"
								}
							},
							{
								"box" : {
									"id" : "obj-14",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 115.0, 300.0, 75.0, 22.0 ],
									"text" : "prepend set"
								}
							},
							{
								"box" : {
									"id" : "obj-15",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 220.0, 300.0, 75.0, 22.0 ],
									"text" : "prepend set"
								}
							},
							{
								"box" : {
									"id" : "obj-16",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 325.0, 300.0, 75.0, 22.0 ],
									"text" : "prepend set"
								}
							},
							{
								"box" : {
									"id" : "obj-17",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 335.0, 100.0, 22.0 ],
									"text" : ""
								}
							},
							{
								"box" : {
									"id" : "obj-18",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 115.0, 335.0, 100.0, 22.0 ],
									"text" : ""
								}
							},
							{
								"box" : {
									"id" : "obj-19",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 220.0, 335.0, 100.0, 22.0 ],
									"text" : ""
								}
							},
							{
								"box" : {
									"id" : "obj-20",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 325.0, 335.0, 135.0, 22.0 ],
									"text" : ""
								}
							},
							{
								"box" : {
									"id" : "obj-21",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 362.0, 100.0, 20.0 ],
									"text" : "plug-in name"
								}
							},
							{
								"box" : {
									"id" : "obj-22",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 115.0, 362.0, 100.0, 20.0 ],
									"text" : "saved name"
								}
							},
							{
								"box" : {
									"id" : "obj-23",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 220.0, 362.0, 100.0, 20.0 ],
									"text" : "delay (samples)"
								}
							},
							{
								"box" : {
									"id" : "obj-24",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 325.0, 362.0, 135.0, 20.0 ],
									"text" : "state"
								}
							},
							{
								"box" : {
									"id" : "obj-25",
									"linecount" : 5,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 395.0, 560.0, 91.0 ],
									"text" : "qzkorvel reports on its outlet: the plug-in's name, the name saved with the vst~ box and its delay whenever it finds its vst~ or the plug-in changes, then a state list (x y width height visible; -12345 0 0 0 0 until it has a place) whenever the editor opens, moves, hides, shows or closes. The other tabs show how to place the editor, store and restore it, keep it in sight, and follow plug-in changes."
								}
							},
							{
								"box" : {
									"id" : "obj-26",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 300.0, 200.0, 150.0, 20.0 ],
									"text" : "Click plug to choose a plug-in:"
								}
							},
							{
								"box" : {
									"id" : "obj-27",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 455.0, 200.0, 35.0, 22.0 ],
									"text" : "plug"
								}
							}
						],
						"lines" : [
							{
								"patchline" : {
									"destination" : [ "obj-8", 0 ],
									"source" : [ "obj-4", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-8", 0 ],
									"source" : [ "obj-5", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-8", 0 ],
									"source" : [ "obj-6", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-11", 0 ],
									"source" : [ "obj-8", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-8", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-13", 0 ],
									"source" : [ "obj-11", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-17", 0 ],
									"source" : [ "obj-13", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-14", 0 ],
									"source" : [ "obj-11", 1 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-18", 0 ],
									"source" : [ "obj-14", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-15", 0 ],
									"source" : [ "obj-11", 2 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-19", 0 ],
									"source" : [ "obj-15", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-16", 0 ],
									"source" : [ "obj-11", 3 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-20", 0 ],
									"source" : [ "obj-16", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-9", 0 ],
									"source" : [ "obj-27", 0 ]
								}
							}
						]
					},
					"patching_rect" : [ 10.0, 10.0, 90.0, 22.0 ],
					"saved_object_attributes" : {
						"description" : "",
						"digest" : "",
						"globalpatchername" : "",
						"tags" : ""
					},
					"text" : "p basics",
					"varname" : "basics"
				}
			},
			{
				"box" : {
					"id" : "obj-2",
					"maxclass" : "newobj",
					"numinlets" : 0,
					"numoutlets" : 0,
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
						"rect" : [ 100.0, 126.0, 780.0, 594.0 ],
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
						"showontab" : 1,
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
									"patching_rect" : [ 10.0, 10.0, 200.0, 33.0 ],
									"text" : "qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-2",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 45.0, 560.0, 20.0 ],
									"text" : "Place, hide, show and remember a vst~ plug-in editor window"
								}
							},
							{
								"box" : {
									"id" : "obj-3",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 75.0, 560.0, 33.0 ],
									"text" : "Where the editor opens, and how to keep that place: store the state list that qzkorvel reports, and send it back later."
								}
							},
							{
								"box" : {
									"id" : "obj-4",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 125.0, 85.0, 22.0 ],
									"text" : "open 100 200"
								}
							},
							{
								"box" : {
									"id" : "obj-5",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 105.0, 125.0, 75.0, 22.0 ],
									"text" : "pos 300 200"
								}
							},
							{
								"box" : {
									"id" : "obj-6",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 190.0, 125.0, 85.0, 22.0 ],
									"text" : "pos -12345 0"
								}
							},
							{
								"box" : {
									"id" : "obj-7",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 285.0, 125.0, 42.0, 22.0 ],
									"text" : "close"
								}
							},
							{
								"box" : {
									"id" : "obj-8",
									"linecount" : 5,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 340.0, 119.0, 380.0, 76.0 ],
									"text" : "pos x y puts the editor's content at x y of the screen: at once if the editor is open, else at the next open. pos -12345 0 forgets the place and centres the editor, a little above the middle: at once if it is open, else at the next open."
								}
							},
							{
								"box" : {
									"id" : "obj-9",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 205.0, 95.0, 22.0 ],
									"text" : "qzkorvel synth"
								}
							},
							{
								"box" : {
									"id" : "obj-10",
									"maxclass" : "newobj",
									"numinlets" : 2,
									"numoutlets" : 8,
									"outlettype" : [ "signal", "signal", "", "list", "int", "", "", "" ],
									"patching_rect" : [ 560.0, 205.0, 150.0, 22.0 ],
									"text" : "vst~ 2 2",
									"varname" : "synth"
								}
							},
							{
								"box" : {
									"id" : "obj-11",
									"maxclass" : "newobj",
									"numinlets" : 2,
									"numoutlets" : 2,
									"outlettype" : [ "", "" ],
									"patching_rect" : [ 10.0, 245.0, 75.0, 22.0 ],
									"text" : "route state"
								}
							},
							{
								"box" : {
									"id" : "obj-12",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 0,
									"outlettype" : [  ],
									"patching_rect" : [ 120.0, 245.0, 85.0, 22.0 ],
									"text" : "print qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-13",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 280.0, 105.0, 22.0 ],
									"text" : "prepend set state"
								}
							},
							{
								"box" : {
									"id" : "obj-14",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 315.0, 170.0, 22.0 ],
									"text" : ""
								}
							},
							{
								"box" : {
									"id" : "obj-15",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 190.0, 309.0, 380.0, 33.0 ],
									"text" : "1. The last state list qzkorvel reported. Click it to store it below."
								}
							},
							{
								"box" : {
									"id" : "obj-16",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 350.0, 75.0, 22.0 ],
									"text" : "prepend set"
								}
							},
							{
								"box" : {
									"id" : "obj-17",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 385.0, 170.0, 22.0 ],
									"text" : "state 100 200 640 480 1"
								}
							},
							{
								"box" : {
									"id" : "obj-18",
									"linecount" : 5,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 190.0, 379.0, 380.0, 76.0 ],
									"text" : "2. The stored state list. Click it to put the editor back there: closed, it reopens, shown (1) or hidden (2); open, it moves there and follows the last number (0 closes it). Clicked before a plug-in is chosen, it waits: the editor opens there when you choose one."
								}
							},
							{
								"box" : {
									"id" : "obj-19",
									"linecount" : 6,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 465.0, 560.0, 91.0 ],
									"text" : "A state list is x y width height visible: where the editor's content starts on the screen, its size, and 0 (closed), 1 (shown) or 2 (hidden). An x of -12345 means no place yet: the first list, -12345 0 0 0 0, comes before any editor opened, and the next open centres the editor. The size is only remembered: the plug-in decides its editor's size. To keep a place, copy this tab into a new patch and save it with a stored list."
								}
							},
							{
								"box" : {
									"id" : "obj-20",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 300.0, 205.0, 150.0, 20.0 ],
									"text" : "Click plug to choose a plug-in:"
								}
							},
							{
								"box" : {
									"id" : "obj-21",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 455.0, 205.0, 35.0, 22.0 ],
									"text" : "plug"
								}
							}
						],
						"lines" : [
							{
								"patchline" : {
									"destination" : [ "obj-9", 0 ],
									"source" : [ "obj-4", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-9", 0 ],
									"source" : [ "obj-5", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-9", 0 ],
									"source" : [ "obj-6", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-9", 0 ],
									"source" : [ "obj-7", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-9", 0 ],
									"source" : [ "obj-17", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-11", 0 ],
									"source" : [ "obj-9", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-9", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-13", 0 ],
									"source" : [ "obj-11", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-14", 0 ],
									"source" : [ "obj-13", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-16", 0 ],
									"source" : [ "obj-14", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-17", 0 ],
									"source" : [ "obj-16", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-10", 0 ],
									"source" : [ "obj-21", 0 ]
								}
							}
						]
					},
					"patching_rect" : [ 110.0, 10.0, 90.0, 22.0 ],
					"saved_object_attributes" : {
						"description" : "",
						"digest" : "",
						"globalpatchername" : "",
						"tags" : ""
					},
					"text" : "p placement",
					"varname" : "placement"
				}
			},
			{
				"box" : {
					"id" : "obj-3",
					"maxclass" : "newobj",
					"numinlets" : 0,
					"numoutlets" : 0,
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
						"rect" : [ 100.0, 126.0, 780.0, 594.0 ],
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
						"showontab" : 1,
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
									"patching_rect" : [ 10.0, 10.0, 200.0, 33.0 ],
									"text" : "qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-2",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 45.0, 560.0, 20.0 ],
									"text" : "Place, hide, show and remember a vst~ plug-in editor window"
								}
							},
							{
								"box" : {
									"id" : "obj-3",
									"linecount" : 3,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 75.0, 560.0, 47.0 ],
									"text" : "The editor is a tool window that stays on top of your patch. While Max is in the background qzkorvel hides it, and shows it again when Max comes back, unless stayontop is on."
								}
							},
							{
								"box" : {
									"id" : "obj-4",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 140.0, 85.0, 22.0 ],
									"text" : "open 100 200"
								}
							},
							{
								"box" : {
									"id" : "obj-5",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 105.0, 140.0, 38.0, 22.0 ],
									"text" : "hide"
								}
							},
							{
								"box" : {
									"id" : "obj-6",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 153.0, 140.0, 40.0, 22.0 ],
									"text" : "show"
								}
							},
							{
								"box" : {
									"id" : "obj-7",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 203.0, 140.0, 42.0, 22.0 ],
									"text" : "close"
								}
							},
							{
								"box" : {
									"id" : "obj-8",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 260.0, 134.0, 310.0, 33.0 ],
									"text" : "Hide the editor and show it again without closing it; showing leaves the focus with your patch."
								}
							},
							{
								"box" : {
									"id" : "obj-9",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 190.0, 75.0, 22.0 ],
									"text" : "stayontop 1"
								}
							},
							{
								"box" : {
									"id" : "obj-10",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 95.0, 190.0, 75.0, 22.0 ],
									"text" : "stayontop 0"
								}
							},
							{
								"box" : {
									"id" : "obj-11",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 180.0, 184.0, 390.0, 33.0 ],
									"text" : "Keep the editor in sight while Max is in the background (or @stayontop 1 in the box)."
								}
							},
							{
								"box" : {
									"id" : "obj-12",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 240.0, 95.0, 22.0 ],
									"text" : "qzkorvel synth"
								}
							},
							{
								"box" : {
									"id" : "obj-13",
									"maxclass" : "newobj",
									"numinlets" : 2,
									"numoutlets" : 8,
									"outlettype" : [ "signal", "signal", "", "list", "int", "", "", "" ],
									"patching_rect" : [ 560.0, 240.0, 150.0, 22.0 ],
									"text" : "vst~ 2 2",
									"varname" : "synth"
								}
							},
							{
								"box" : {
									"id" : "obj-14",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 0,
									"outlettype" : [  ],
									"patching_rect" : [ 10.0, 280.0, 85.0, 22.0 ],
									"text" : "print qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-15",
									"linecount" : 3,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 315.0, 560.0, 47.0 ],
									"text" : "The last number of a state list is 2 while the editor is hidden by hide. Out of sight because Max is in the background, it stays 1: the patch did not ask to hide it."
								}
							},
							{
								"box" : {
									"id" : "obj-16",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 300.0, 240.0, 150.0, 20.0 ],
									"text" : "Click plug to choose a plug-in:"
								}
							},
							{
								"box" : {
									"id" : "obj-17",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 455.0, 240.0, 35.0, 22.0 ],
									"text" : "plug"
								}
							}
						],
						"lines" : [
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-4", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-5", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-6", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-7", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-9", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-10", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-14", 0 ],
									"source" : [ "obj-12", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-13", 0 ],
									"source" : [ "obj-17", 0 ]
								}
							}
						]
					},
					"patching_rect" : [ 210.0, 10.0, 90.0, 22.0 ],
					"saved_object_attributes" : {
						"description" : "",
						"digest" : "",
						"globalpatchername" : "",
						"tags" : ""
					},
					"text" : "p visibility",
					"varname" : "visibility"
				}
			},
			{
				"box" : {
					"id" : "obj-4",
					"maxclass" : "newobj",
					"numinlets" : 0,
					"numoutlets" : 0,
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
						"rect" : [ 100.0, 126.0, 780.0, 594.0 ],
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
						"showontab" : 1,
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
									"patching_rect" : [ 10.0, 10.0, 200.0, 33.0 ],
									"text" : "qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-2",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 45.0, 560.0, 20.0 ],
									"text" : "Place, hide, show and remember a vst~ plug-in editor window"
								}
							},
							{
								"box" : {
									"id" : "obj-3",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 75.0, 560.0, 33.0 ],
									"text" : "qzkorvel follows its vst~ box: when the box loads another plug-in, or is rebuilt, qzkorvel finds it again and reports the plug-in."
								}
							},
							{
								"box" : {
									"id" : "obj-4",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 125.0, 85.0, 22.0 ],
									"text" : "open 100 200"
								}
							},
							{
								"box" : {
									"id" : "obj-5",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 105.0, 125.0, 35.0, 22.0 ],
									"text" : "plug"
								}
							},
							{
								"box" : {
									"id" : "obj-6",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 150.0, 119.0, 420.0, 33.0 ],
									"text" : "Choose another plug-in here once one is loaded: qzkorvel sends willchange, then the new plug-in's report."
								}
							},
							{
								"box" : {
									"id" : "obj-7",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 185.0, 40.0, 22.0 ],
									"text" : "clear"
								}
							},
							{
								"box" : {
									"id" : "obj-8",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 60.0, 179.0, 510.0, 33.0 ],
									"text" : "Close the editor and have Max rebuild the vst~ box from its text, as if you retyped it: the box comes back empty, as its text names no plug-in."
								}
							},
							{
								"box" : {
									"id" : "obj-9",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 230.0, 55.0, 22.0 ],
									"text" : "debug 1"
								}
							},
							{
								"box" : {
									"id" : "obj-10",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 75.0, 230.0, 55.0, 22.0 ],
									"text" : "debug 0"
								}
							},
							{
								"box" : {
									"id" : "obj-11",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 140.0, 224.0, 430.0, 33.0 ],
									"text" : "Print what qzkorvel does in the Max window (or @debug 1 in the box)."
								}
							},
							{
								"box" : {
									"id" : "obj-12",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 280.0, 95.0, 22.0 ],
									"text" : "qzkorvel synth"
								}
							},
							{
								"box" : {
									"id" : "obj-13",
									"maxclass" : "newobj",
									"numinlets" : 2,
									"numoutlets" : 8,
									"outlettype" : [ "signal", "signal", "", "list", "int", "", "", "" ],
									"patching_rect" : [ 560.0, 280.0, 150.0, 22.0 ],
									"text" : "vst~ 2 2",
									"varname" : "synth"
								}
							},
							{
								"box" : {
									"id" : "obj-14",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 0,
									"outlettype" : [  ],
									"patching_rect" : [ 10.0, 320.0, 85.0, 22.0 ],
									"text" : "print qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-15",
									"linecount" : 3,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 355.0, 560.0, 47.0 ],
									"text" : "Every report starts with pluginname, savedpluginname and delay (while no plug-in is loaded, both names read \"free\" and the delay is 0); delay comes again whenever the plug-in's delay changes."
								}
							},
							{
								"box" : {
									"id" : "obj-16",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 300.0, 280.0, 150.0, 33.0 ],
									"text" : "Click plug to choose a plug-in:",
									"linecount" : 2
								}
							},
							{
								"box" : {
									"id" : "obj-17",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 455.0, 280.0, 35.0, 22.0 ],
									"text" : "plug"
								}
							}
						],
						"lines" : [
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-4", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-7", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-9", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-12", 0 ],
									"source" : [ "obj-10", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-13", 0 ],
									"source" : [ "obj-5", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-14", 0 ],
									"source" : [ "obj-12", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-13", 0 ],
									"source" : [ "obj-17", 0 ]
								}
							}
						]
					},
					"patching_rect" : [ 310.0, 10.0, 90.0, 22.0 ],
					"saved_object_attributes" : {
						"description" : "",
						"digest" : "",
						"globalpatchername" : "",
						"tags" : ""
					},
					"text" : "p changes",
					"varname" : "changes"
				}
			},
			{
				"box" : {
					"id" : "obj-5",
					"maxclass" : "newobj",
					"numinlets" : 0,
					"numoutlets" : 0,
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
						"rect" : [ 100.0, 126.0, 780.0, 594.0 ],
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
						"showontab" : 1,
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
									"patching_rect" : [ 10.0, 10.0, 200.0, 33.0 ],
									"text" : "qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-2",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 45.0, 560.0, 20.0 ],
									"text" : "Place, hide, show and remember a vst~ plug-in editor window"
								}
							},
							{
								"box" : {
									"id" : "obj-3",
									"linecount" : 3,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 75.0, 560.0, 47.0 ],
									"text" : "The layout comes back with the patch. Give the qzkorvel box a scripting name (here editor), put an [autopattr] in the same patcher and draw a cord from its left (include) outlet into qzkorvel: saving the patch stores the editor's state list, and opening it again puts the editor back where it was, open or hidden as it was."
								}
							},
							{
								"box" : {
									"id" : "obj-4",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 140.0, 85.0, 22.0 ],
									"text" : "open 200 150"
								}
							},
							{
								"box" : {
									"id" : "obj-5",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 105.0, 140.0, 42.0, 22.0 ],
									"text" : "close"
								}
							},
							{
								"box" : {
									"id" : "obj-6",
									"linecount" : 3,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 160.0, 134.0, 410.0, 47.0 ],
									"text" : "Open the editor and move it. Copy this tab into a new patch, save it and open it again: the editor comes back where you left it."
								}
							},
							{
								"box" : {
									"id" : "obj-7",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 10.0, 200.0, 95.0, 22.0 ],
									"text" : "qzkorvel synth",
									"varname" : "editor"
								}
							},
							{
								"box" : {
									"id" : "obj-8",
									"maxclass" : "newobj",
									"numinlets" : 2,
									"numoutlets" : 8,
									"outlettype" : [ "signal", "signal", "", "list", "int", "", "", "" ],
									"patching_rect" : [ 560.0, 200.0, 150.0, 22.0 ],
									"text" : "vst~ 2 2",
									"varname" : "synth"
								}
							},
							{
								"box" : {
									"id" : "obj-9",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 4,
									"outlettype" : [ "", "", "", "" ],
									"patching_rect" : [ 200.0, 200.0, 70.0, 22.0 ],
									"text" : "autopattr"
								}
							},
							{
								"box" : {
									"id" : "obj-10",
									"maxclass" : "newobj",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 240.0, 85.0, 22.0 ],
									"text" : "print qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-11",
									"linecount" : 5,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 285.0, 560.0, 76.0 ],
									"text" : "Why the cord: autopattr takes in named user interface objects, and other objects such as qzkorvel through its include outlet; without the cord it may store nothing for qzkorvel. [pattr layout @bindto editor] works without it (@bindto parent::editor from a subpatcher). [pattrstorage] keeps presets of every object that autopattr or pattr exposes, so a preset can hold editor layouts too. qzkorvel's value for them is its state list x y width height visible, and a value they give back is taken as a state message. A new qzkorvel box bound to the same vst~ (a retyped one, say) takes over an editor left open by the old one."
								}
							},
							{
								"box" : {
									"id" : "obj-12",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 300.0, 200.0, 150.0, 20.0 ],
									"text" : "Click plug to choose a plug-in:"
								}
							},
							{
								"box" : {
									"id" : "obj-13",
									"maxclass" : "message",
									"numinlets" : 2,
									"numoutlets" : 1,
									"outlettype" : [ "" ],
									"patching_rect" : [ 455.0, 200.0, 35.0, 22.0 ],
									"text" : "plug"
								}
							}
						],
						"lines" : [
							{
								"patchline" : {
									"destination" : [ "obj-7", 0 ],
									"source" : [ "obj-4", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-7", 0 ],
									"source" : [ "obj-5", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-10", 0 ],
									"source" : [ "obj-7", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-8", 0 ],
									"source" : [ "obj-13", 0 ]
								}
							},
							{
								"patchline" : {
									"destination" : [ "obj-7", 0 ],
									"source" : [ "obj-9", 0 ]
								}
							}
						]
					},
					"patching_rect" : [ 410.0, 10.0, 100.0, 22.0 ],
					"saved_object_attributes" : {
						"description" : "",
						"digest" : "",
						"globalpatchername" : "",
						"tags" : ""
					},
					"text" : "p persistence",
					"varname" : "persistence"
				}
			},
			{
				"box" : {
					"id" : "obj-6",
					"maxclass" : "newobj",
					"numinlets" : 0,
					"numoutlets" : 0,
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
						"rect" : [ 100.0, 126.0, 780.0, 594.0 ],
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
						"showontab" : 1,
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
									"patching_rect" : [ 10.0, 10.0, 200.0, 33.0 ],
									"text" : "qzkorvel"
								}
							},
							{
								"box" : {
									"id" : "obj-2",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 45.0, 560.0, 20.0 ],
									"text" : "Place, hide, show and remember a vst~ plug-in editor window"
								}
							},
							{
								"box" : {
									"fontface" : 1,
									"id" : "obj-3",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 75.0, 640.0, 20.0 ],
									"text" : "Messages, into the inlet (hover over it for a summary):"
								}
							},
							{
								"box" : {
									"id" : "obj-4",
									"linecount" : 6,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 103.0, 640.0, 91.0 ],
									"text" : "open [x y]: open the editor, at x y of the screen or where the last pos or state put it (centred on the display under the mouse if none). close: close it. hide, show: take it out of sight and bring it back without taking the focus. pos x y: set where the editor's content starts; moves an open editor at once (-12345 0: centred). state x y width height visible: restore a state list (1 opens or shows, 2 opens hidden, 0 closes). clear: close the editor and rebuild the vst~ box from its text."
								}
							},
							{
								"box" : {
									"id" : "obj-5",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 202.0, 640.0, 33.0 ],
									"text" : "Attributes, saved with the patch: stayontop 0/1 keeps the editor in sight while Max is in the background; debug 0/1 prints what qzkorvel does in the Max window."
								}
							},
							{
								"box" : {
									"fontface" : 1,
									"id" : "obj-6",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 243.0, 640.0, 20.0 ],
									"text" : "Out of the outlet (hover over it for a summary):"
								}
							},
							{
								"box" : {
									"id" : "obj-7",
									"linecount" : 4,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 271.0, 640.0, 62.0 ],
									"text" : "pluginname, savedpluginname and delay when qzkorvel finds its vst~ or the plug-in changes (free, free and 0 while none is loaded); delay again when the plug-in's delay changes; willchange just before the vst~ changes its plug-in; state x y width height visible whenever the editor opens, moves, hides, shows or closes."
								}
							},
							{
								"box" : {
									"fontface" : 1,
									"id" : "obj-8",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 341.0, 640.0, 20.0 ],
									"text" : "Argument: the scripting name of a vst~ box in the same patcher."
								}
							},
							{
								"box" : {
									"id" : "obj-9",
									"linecount" : 2,
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 369.0, 640.0, 33.0 ],
									"text" : "Related objects: vst~ hosts the plug-in; autopattr, pattr and pattrstorage keep the editor's layout with the patch and in presets (see the persistence tab)."
								}
							},
							{
								"box" : {
									"id" : "obj-10",
									"maxclass" : "comment",
									"numinlets" : 1,
									"numoutlets" : 0,
									"patching_rect" : [ 10.0, 410.0, 640.0, 20.0 ],
									"text" : "qzkorvel is for Max on 64-bit Windows: the editor it manages is a Windows window."
								}
							}
						],
						"lines" : [  ]
					},
					"patching_rect" : [ 520.0, 10.0, 90.0, 22.0 ],
					"saved_object_attributes" : {
						"description" : "",
						"digest" : "",
						"globalpatchername" : "",
						"tags" : ""
					},
					"text" : "p reference",
					"varname" : "reference"
				}
			}
		],
		"lines" : [  ]
	}
}
