{
	"patcher" : {
		"boxes" : [
			{ "box" : { "id" : "obj-1", "maxclass" : "message", "numinlets" : 2, "numoutlets" : 1, "text" : "open" } }
		],
		"lines" : [
			{ "patchline" : { "source" : [ "obj-1", 0 ], "destination" : [ "obj-9", 0 ] } }
		]
	}
}
